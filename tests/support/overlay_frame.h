// Running the plugin's overlay in real Dear ImGui frames on the host's context, and reading back
// what it drew: the window, and its draw list compared with a reference list of expected shapes.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <imgui.h>
#include <imgui_internal.h>

#include "support/expected_overlay.h"
#include "support/plugin_session.h"

namespace testsupport {

// The library internals these tests read whose names differ between the host's release (1.75) and
// later ones; the only place in the tests that asks which release it is compiled against.
#if IMGUI_VERSION_NUM < 18000
inline void resetForNewFrame(ImDrawList& list) { list.Clear(); }
inline int pushedStyleVariables(const ImGuiContext& context) { return context.StyleModifiers.Size; }
#else
inline void resetForNewFrame(ImDrawList& list) { list._ResetForNewFrame(); }
inline int pushedStyleVariables(const ImGuiContext& context) { return context.StyleVarStack.Size; }
#endif

// The plugin loaded with a UI, its window opened by the timer, in a running online match.
struct OverlaySession : PluginSession {
    OverlaySession() : PluginSession(true, true) {
        load();
        host.advance(1.0);
        host.setGameMode(sandbox::GameMode::OnlineMatch);
    }
    ImDrawData* frame() { return ui->frame(host); }
    void set(const std::string& line) { ASSERT_TRUE(host.execute(line).ok) << line; }
    ImGuiStyle& style() {
        ImGui::SetCurrentContext(ui->context());
        return ImGui::GetStyle();
    }
    // The overlay window, or null if it was never begun.
    ImGuiWindow* window() {
        ImGui::SetCurrentContext(ui->context());
        return ImGui::FindWindowByName(kWindowTitle);
    }
    // Whether the last frame began the window.
    bool drawnInLastFrame() {
        ImGuiWindow* overlay = window();
        return overlay && overlay->Active;
    }
    // Moves the window as a user dragging it would leave it.
    void moveWindowTo(ImVec2 position) {
        ImGui::SetCurrentContext(ui->context());
        ImGui::SetWindowPos(kWindowTitle, position);
    }
    // The keyboard origin of the last frame: window corner, padding, then (12, 24).
    ImVec2 keyboardOrigin() {
        ImGuiWindow* overlay = window();
        return ImVec2(overlay->Pos.x + style().WindowPadding.x + 12.0f,
                      overlay->Pos.y + style().WindowPadding.y + 24.0f);
    }
};

// The shapes a frame is expected to hold, emitted into a scratch list that shares the host's draw
// data, clip rectangle and font texture, so that its vertices can be compared one by one.
class ReferenceDrawing {
public:
    ReferenceDrawing(const ImDrawList& drawn, const ExpectedOverlay& expected) : list_(ImGui::GetDrawListSharedData()) {
        resetForNewFrame(list_);
        const ImDrawCmd& last = drawn.CmdBuffer.back();
        list_.PushClipRect(ImVec2(last.ClipRect.x, last.ClipRect.y), ImVec2(last.ClipRect.z, last.ClipRect.w));
        list_.PushTextureID(last.TextureId);
        expected.drawInto(list_);
    }

    const ImVector<ImDrawVert>& vertices() const { return list_.VtxBuffer; }

private:
    ImDrawList list_;
};

// Compares the last shapes of the overlay's draw list with the reference, vertex by vertex, and
// checks that nothing but the window background precedes them.
inline ::testing::AssertionResult drawsExactly(const ImDrawList& drawn, const ReferenceDrawing& expected,
                                               int backgroundVertices) {
    const auto& want = expected.vertices();
    const auto& got = drawn.VtxBuffer;
    if (got.Size != want.Size + backgroundVertices) {
        return ::testing::AssertionFailure()
               << "the window holds " << got.Size << " vertices, expected " << backgroundVertices << " + " << want.Size;
    }
    for (int i = 0; i < want.Size; ++i) {
        const ImDrawVert& a = got[backgroundVertices + i];
        const ImDrawVert& b = want[i];
        if (a.pos.x != b.pos.x || a.pos.y != b.pos.y || a.uv.x != b.uv.x || a.uv.y != b.uv.y || a.col != b.col) {
            return ::testing::AssertionFailure()
                   << "vertex " << i << " is (" << a.pos.x << ", " << a.pos.y << ") colour " << std::hex << a.col
                   << std::dec << ", expected (" << b.pos.x << ", " << b.pos.y << ") colour " << std::hex << b.col;
        }
    }
    return ::testing::AssertionSuccess();
}

// Whether the list holds a square-cornered filled rectangle with exactly these corners and colour.
inline bool holdsRect(const ImDrawList& drawn, ImVec2 min, ImVec2 max, ImU32 colour) {
    const auto& v = drawn.VtxBuffer;
    for (int i = 0; i + 3 < v.Size; ++i) {
        if (v[i].pos.x == min.x && v[i].pos.y == min.y && v[i + 1].pos.x == max.x && v[i + 1].pos.y == min.y &&
            v[i + 2].pos.x == max.x && v[i + 2].pos.y == max.y && v[i + 3].pos.x == min.x && v[i + 3].pos.y == max.y &&
            v[i].col == colour) {
            return true;
        }
    }
    return false;
}

}  // namespace testsupport
