// The plugin in process, fed arbitrary value texts through its settings and binding variables; each
// value is followed by a tick and a frame, as the game would draw it. The first byte picks the
// variable, the rest is the value.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

#include "plugin/Keyvane.h"
#include "sandbox/hostapp/plugin_module.h"
#include "sandbox/hostapp/ui_context.h"
#include "sandbox/pluginsdk/host.h"

namespace {

constexpr std::array<const char*, 6> kVariables{"kvanescale", "kvanetransparency", "A",
                                                "Q",          "LeftMouseButton",   "SpaceBar"};

struct LoadedPlugin {
    LoadedPlugin() {
        // The plugin saves into ./bakkesmod/cfg on every change: a folder of its own.
        const auto home =
            std::filesystem::temp_directory_path() / ("keyvane-plugin-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(home / "bakkesmod" / "cfg");
        std::filesystem::current_path(home);
        host.setJournalEnabled(false);
        host.setGameMode(sandbox::GameMode::OnlineMatch);
        module = sandbox::PluginModule::load(host, KEYVANE_MODULE_PATH, ui.context());
        host.advance(1.0);
    }
    sandbox::Host host;
    sandbox::UiContext ui{ImVec2(1280, 720)};
    std::unique_ptr<sandbox::PluginModule> module;
};

LoadedPlugin* loaded_ = nullptr;

}  // namespace

// The module is loaded before the first input, so that libFuzzer knows its coverage counters from
// the start.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static LoadedPlugin plugin;
    loaded_ = &plugin;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    LoadedPlugin& loaded = *loaded_;
    if (size == 0) return 0;
    const char* name = kVariables[data[0] % kVariables.size()];
    const std::string value(reinterpret_cast<const char*>(data) + 1, size - 1);
    loaded.module->plugin().cvarManager->getCvar(name).setValue(value);
    loaded.host.fireEvent("Function Engine.GameViewportClient.Tick");
    loaded.ui.frame(loaded.host);
    return 0;
}
