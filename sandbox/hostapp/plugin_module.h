// Loading a plugin module as the host does: open the library, check its exported record, create the
// plugin through the record's factory, reach its window part, hand it the host's handles and UI
// context, and call onLoad. Unloading reverses it: onUnload, withdraw everything the plugin
// registered, release through the record, close the library. onLoad and onUnload run as the game
// thread's work.
#pragma once

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "bakkesmod/plugin/bakkesmodplugin.h"
#include "bakkesmod/plugin/pluginwindow.h"
#include "sandbox/pluginsdk/host.h"

struct ImGuiContext;

namespace sandbox {

class SharedLibrary;

// What a module's factory returns the address of: its shared handle to the plugin, read as a
// handle to the base class.
using PluginHolder = std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin>;

// A module that cannot be loaded; what() is one line naming the file and the reason.
class LoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class PluginModule {
public:
    // Throws LoadError for a missing file, a library without "exports", a record whose version or
    // kind the host does not accept, or a plugin that throws while it loads (the module is then
    // unloaded again). uiContext may be null for a host without a UI.
    static std::unique_ptr<PluginModule> load(Host& host, const std::filesystem::path& path, ImGuiContext* uiContext);
    ~PluginModule();  // unloads
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    const BakkesMod::Plugin::PluginInfo& info() const { return *info_; }
    BakkesMod::Plugin::BakkesModPlugin& plugin() { return **handle_; }
    BakkesMod::Plugin::PluginWindow* window() { return window_; }  // null for a plugin without one
    OwnerId owner() const { return owner_; }
    const std::filesystem::path& path() const { return path_; }

private:
    PluginModule() = default;
    void unload() noexcept;

    Host* host_ = nullptr;
    std::filesystem::path path_;
    std::unique_ptr<SharedLibrary> library_;
    const BakkesMod::Plugin::PluginInfo* info_ = nullptr;
    PluginHolder* handle_ = nullptr;
    BakkesMod::Plugin::PluginWindow* window_ = nullptr;
    OwnerId owner_ = 0;
    bool loaded_ = false;
};

}  // namespace sandbox
