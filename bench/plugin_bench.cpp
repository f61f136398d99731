// How long the plugin's two per-frame paths take on the stand-in host: one key poll (a viewport
// tick) and one frame of the overlay, drawn into a real Dear ImGui context without a renderer.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "sandbox/host.h"
#include "sandbox/plugin_module.h"
#include "sandbox/ui_context.h"

namespace {

constexpr const char* kTickEvent = "Function Engine.GameViewportClient.Tick";

// The plugin loaded, its window open, in a running online match with a few keys held. The host's
// journal is off, as in a long session, so that only the plugin's own work is measured.
struct RunningOverlay {
    RunningOverlay() : home(std::filesystem::temp_directory_path() / "keyvane-bench") {
        std::filesystem::create_directories(home / "bakkesmod" / "cfg");
        std::filesystem::current_path(home);
        host.setJournalEnabled(false);
        module = sandbox::PluginModule::load(host, KEYVANE_MODULE_PATH, ui.context());
        host.advance(1.0);
        host.setGameMode(sandbox::GameMode::OnlineMatch);
        for (const char* key : {"A", "Z", "SpaceBar", "LeftMouseButton"}) host.setKeyHeld(key, true);
    }
    std::filesystem::path home;
    sandbox::Host host;
    sandbox::UiContext ui{ImVec2(1280, 720)};
    std::unique_ptr<sandbox::PluginModule> module;
};

void viewportTick(benchmark::State& state) {
    RunningOverlay overlay;
    for (auto _ : state) overlay.host.fireEvent(kTickEvent);
}
BENCHMARK(viewportTick);

void overlayFrame(benchmark::State& state) {
    RunningOverlay overlay;
    for (auto _ : state) benchmark::DoNotOptimize(overlay.ui.frame(overlay.host));
}
BENCHMARK(overlayFrame);

}  // namespace

BENCHMARK_MAIN();
