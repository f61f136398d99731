// One whole Dear ImGui frame three ways, side by side: the overlay's window left empty, the plugin's
// own frame drawn through the host, and the lower bound, the same shapes emitted straight from
// coordinates worked out once. Then the plugin's frame at growing scales.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "running_overlay.h"
#include "support/bare_frames.h"
#include "support/expected_overlay.h"

namespace {

using bench::RunningOverlay;

// Every vertex and index of a frame's draw data, kept past the next frame.
struct DrawnFrame {
    std::vector<ImDrawVert> vertices;
    std::vector<ImDrawIdx> indices;

    explicit DrawnFrame(const ImDrawData& data) {
        for (int i = 0; i < data.CmdListsCount; ++i) {
            const ImDrawList& list = *data.CmdLists[i];
            vertices.insert(vertices.end(), list.VtxBuffer.begin(), list.VtxBuffer.end());
            indices.insert(indices.end(), list.IdxBuffer.begin(), list.IdxBuffer.end());
        }
    }
    bool operator==(const DrawnFrame& other) const {
        if (vertices.size() != other.vertices.size() || indices != other.indices) return false;
        for (std::size_t i = 0; i < vertices.size(); ++i) {
            const ImDrawVert& a = vertices[i];
            const ImDrawVert& b = other.vertices[i];
            if (a.pos.x != b.pos.x || a.pos.y != b.pos.y || a.uv.x != b.uv.x || a.uv.y != b.uv.y || a.col != b.col) {
                return false;
            }
        }
        return true;
    }
};

// Each measured step is a function of its own, never inlined, so that callgrind can count the
// instructions of the step alone (scripts/bench-instructions).
[[gnu::noinline]] ImDrawData* stepEmptyWindowFrame(RunningOverlay& overlay) {
    return testsupport::emptyOverlayFrame(overlay.ui.context());
}

[[gnu::noinline]] ImDrawData* stepPluginFrame(RunningOverlay& overlay) { return overlay.frame(); }

[[gnu::noinline]] ImDrawData* stepLowerBoundFrame(RunningOverlay& overlay, const testsupport::ExpectedOverlay& shapes) {
    return testsupport::bareOverlayFrame(overlay.ui.context(), 1.0f, 0.0f,
                                         [&](ImDrawList& list) { shapes.drawInto(list); });
}

void emptyWindowFrame(benchmark::State& state) {
    RunningOverlay overlay;
    for (auto _ : state) benchmark::DoNotOptimize(stepEmptyWindowFrame(overlay));
}
BENCHMARK(emptyWindowFrame);

void pluginFrame(benchmark::State& state) {
    RunningOverlay overlay;
    for (auto _ : state) benchmark::DoNotOptimize(stepPluginFrame(overlay));
}
BENCHMARK(pluginFrame);

// The least that drawing the overlay's picture can cost: the window set up as the plugin sets it up
// and the same 29 rectangles and 25 texts, but with every coordinate, colour and text measure
// worked out before the loop. Checked first to draw what the plugin draws, vertex for vertex.
void lowerBoundFrame(benchmark::State& state) {
    RunningOverlay overlay;
    ImVec2 contentOrigin;
    testsupport::bareOverlayFrame(overlay.ui.context(), 1.0f, 0.0f,
                                  [&](ImDrawList&) { contentOrigin = ImGui::GetCursorScreenPos(); });
    testsupport::ExpectedOverlay shapes;
    const std::set<std::string> held(std::begin(bench::kHeldKeys), std::end(bench::kHeldKeys));
    drawExpected(shapes, testsupport::kScale1, ImVec2(contentOrigin.x + 12.0f, contentOrigin.y + 24.0f), held);
    if (!(DrawnFrame(*overlay.frame()) == DrawnFrame(*stepLowerBoundFrame(overlay, shapes)))) {
        state.SkipWithError("the lower bound does not draw the plugin's frame vertex for vertex");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(stepLowerBoundFrame(overlay, shapes));
}
BENCHMARK(lowerBoundFrame);

// The window and everything in it scale; the number of shapes does not, nor should the cost.
void pluginFrameAtScale(benchmark::State& state) {
    RunningOverlay overlay;
    char command[32];
    std::snprintf(command, sizeof command, "kvanescale %d", static_cast<int>(state.range(0)));
    overlay.host.execute(command);
    for (auto _ : state) benchmark::DoNotOptimize(stepPluginFrame(overlay));
}
BENCHMARK(pluginFrameAtScale)->Arg(1)->Arg(4)->Arg(16)->Arg(64);

}  // namespace
