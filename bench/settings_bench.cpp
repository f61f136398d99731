// The plugin's two rare paths: writing its settings file, and its whole onLoad with a saved file
// for the host to replay.
#include <benchmark/benchmark.h>

#include <memory>

#include "running_overlay.h"

namespace {

using bench::RunningOverlay;

// onUnload's whole body is saveSettings, the same write every settings change makes.
void saveSettings(benchmark::State& state) {
    RunningOverlay overlay;
    auto& plugin = overlay.module->plugin();
    for (auto _ : state) plugin.onUnload();
}
BENCHMARK(saveSettings);

// Each iteration creates a fresh plugin object through the module's own record, on a fresh host,
// and times its onLoad alone: the key table, 30 variables registered and resolved, the settings
// file replayed (rewriting it twice), the timer and the hook.
void onLoad(benchmark::State& state) {
    bench::BenchHome home;
    sandbox::Host carrier;
    carrier.setJournalEnabled(false);
    auto module = sandbox::PluginModule::load(carrier, KEYVANE_MODULE_PATH, nullptr);
    module->plugin().onUnload();        // a saved file for every later load to replay
    carrier.withdraw(module->owner());  // the carrier host never calls its plugin again
    const auto& record = module->info();
    for (auto _ : state) {
        state.PauseTiming();
        record.delFunc();  // the previous plugin object goes; the next factory call makes a new one
        auto host = std::make_unique<sandbox::Host>();
        host->setJournalEnabled(false);
        const auto owner = host->newOwner();
        auto& plugin = **reinterpret_cast<sandbox::PluginHolder*>(record.initializeFunc());
        plugin.cvarManager = host->cvarManagerFor(owner);
        plugin.gameWrapper = host->gameWrapperFor(owner);
        state.ResumeTiming();
        plugin.onLoad();
        state.PauseTiming();
        host->withdraw(owner);
        host.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(onLoad);

}  // namespace
