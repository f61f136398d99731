// Loading and unloading a plugin module the way the host does, with one-line errors for bad modules.
#include "sandbox/hostapp/plugin_module.h"

#include <system_error>

#include "sandbox/hostapp/shared_library.h"

namespace sandbox {

namespace {
using BakkesMod::Plugin::PluginInfo;

// The version and the kind of plugin this host loads.
constexpr int kInterfaceVersion = BAKKESMOD_PLUGIN_API_VERSION;
constexpr unsigned long kPluginKind = PLUGINTYPE_FREEPLAY;

std::string describe(const std::filesystem::path& path) { return path.string(); }
}  // namespace

std::unique_ptr<PluginModule> PluginModule::load(Host& host, const std::filesystem::path& path,
                                                 ImGuiContext* uiContext) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        throw LoadError(describe(path) + ": no such module file");
    }
    std::unique_ptr<PluginModule> module(new PluginModule);
    module->host_ = &host;
    module->path_ = path;

    std::string reason;
    module->library_ = SharedLibrary::open(path, reason);
    if (!module->library_) throw LoadError(describe(path) + ": not a loadable module (" + reason + ")");
    module->info_ = static_cast<const PluginInfo*>(module->library_->symbol("exports"));
    const PluginInfo* info = module->info_;
    if (!info) throw LoadError(describe(path) + ": not a plugin module (it exports no \"exports\" record)");
    if (info->apiBuildVersion != kInterfaceVersion || info->pluginType != kPluginKind) {
        throw LoadError(describe(path) + ": plugin record has interface version " +
                        std::to_string(info->apiBuildVersion) + " and kind " + std::to_string(info->pluginType) +
                        "; this host loads version " + std::to_string(kInterfaceVersion) + ", kind " +
                        std::to_string(kPluginKind));
    }
    if (!info->initializeFunc || !info->delFunc) {
        throw LoadError(describe(path) + ": plugin record has no factory or no release function");
    }

    module->handle_ = reinterpret_cast<PluginHolder*>(info->initializeFunc());
    if (!module->handle_ || !*module->handle_) {
        throw LoadError(describe(path) + ": the plugin's factory returned no plugin");
    }
    auto& plugin = **module->handle_;
    module->window_ = dynamic_cast<BakkesMod::Plugin::PluginWindow*>(&plugin);
    module->owner_ = host.newOwner();
    plugin.cvarManager = host.cvarManagerFor(module->owner_);
    plugin.gameWrapper = host.gameWrapperFor(module->owner_);
    if (module->window_ && uiContext) {
        module->window_->SetImGuiContext(reinterpret_cast<std::uintptr_t>(uiContext));
    }
    module->loaded_ = true;
    try {
        host.runAsGame([&plugin] { plugin.onLoad(); });
    } catch (const std::exception& failure) {
        throw LoadError(describe(path) + ": the plugin failed while loading: " + failure.what());
    } catch (...) {
        throw LoadError(describe(path) + ": the plugin failed while loading");
    }
    if (module->window_) host.addWindow(module->owner_, module->window_);
    return module;
}

PluginModule::~PluginModule() { unload(); }

void PluginModule::unload() noexcept {
    if (loaded_) {
        try {
            // A plugin whose module released it already (deleteMe called early) has nothing to do.
            if (*handle_) host_->runAsGame([this] { (*handle_)->onUnload(); });
        } catch (...) {
            host_->log(describe(path_) + ": the plugin failed while unloading");
        }
        host_->withdraw(owner_);
        loaded_ = false;
    }
    if (info_ && info_->delFunc && handle_) info_->delFunc();
    handle_ = nullptr;
    window_ = nullptr;
    info_ = nullptr;
    library_.reset();
}

}  // namespace sandbox
