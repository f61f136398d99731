// One viewport tick with the plugin hooked, against what the host itself spends on it: the same
// 3 game-state and 28 key queries made directly, and firing an event whose one hook does nothing.
#include <benchmark/benchmark.h>

#include <array>
#include <string>

#include "plugin/WatchedKeys.h"
#include "running_overlay.h"

namespace {

using bench::RunningOverlay;

using NameIndices = std::array<int, kWatchedKeyCount>;

// Each measured step is a function of its own, never inlined, so that callgrind can count the
// instructions of the step alone (scripts/bench-instructions).
[[gnu::noinline]] void stepPluginTick(RunningOverlay& overlay) { overlay.host.fireEvent(bench::kTickEvent); }

// What the plugin asks in an online match, asked by a game wrapper of the host's own.
// The answers are only counted: the calls go into the host's library, so none can be left out.
[[gnu::noinline]] int stepDirectQueries(GameWrapper& game, const NameIndices& nameIndices) {
    int answers = game.IsInCustomTraining() + game.IsInGame() + game.IsInOnlineGame();
    for (int index : nameIndices) answers += game.IsKeyPressed(index);
    return answers;
}

[[gnu::noinline]] void stepEmptyHookTick(RunningOverlay& overlay, const std::string& event) {
    overlay.host.fireEvent(event);
}

void pluginTick(benchmark::State& state) {
    RunningOverlay overlay;
    for (auto _ : state) stepPluginTick(overlay);
}
BENCHMARK(pluginTick);

void directQueries(benchmark::State& state) {
    RunningOverlay overlay;
    const auto game = overlay.host.gameWrapperFor(overlay.host.newOwner());
    NameIndices nameIndices{};
    for (std::size_t i = 0; i < kWatchedKeyCount; ++i) {
        nameIndices[i] = game->GetFNameIndexByString(std::string(kWatchedKeys[i].name));
    }
    for (auto _ : state) benchmark::DoNotOptimize(stepDirectQueries(*game, nameIndices));
}
BENCHMARK(directQueries);

// An event with a name as long as the tick's, whose one hook does nothing: the host's dispatch and
// the name handed over by value. The plugin's tick hook is still registered and passed over.
void emptyHookTick(benchmark::State& state) {
    RunningOverlay overlay;
    const std::string idleEvent = "Function Engine.GameViewportClient.Idle";
    static_assert(sizeof "Function Engine.GameViewportClient.Idle" == sizeof "Function Engine.GameViewportClient.Tick");
    overlay.host.gameWrapperFor(overlay.host.newOwner())->HookEvent(idleEvent, [](std::string name) {
        benchmark::DoNotOptimize(name);
    });
    for (auto _ : state) stepEmptyHookTick(overlay, idleEvent);
}
BENCHMARK(emptyHookTick);

}  // namespace
