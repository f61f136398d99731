// Running the plugin's overlay in real Dear ImGui frames on the host's context, and reading back
// what it drew: the window, and its draw list compared with a reference list of expected shapes.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include <imgui.h>
#include <imgui_internal.h>

#include "support/plugin_session.h"

namespace testsupport {

inline constexpr const char* kWindowTitle = "Keyvane Display";
inline constexpr ImU32 kHeld = IM_COL32(156, 156, 156, 255);
inline constexpr ImU32 kIdle = IM_COL32(0, 0, 0, 255);
inline constexpr ImU32 kWhite = IM_COL32(255, 255, 255, 255);

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
    explicit ReferenceDrawing(const ImDrawList& drawn) : list_(ImGui::GetDrawListSharedData()) {
        list_._ResetForNewFrame();
        const ImDrawCmd& last = drawn.CmdBuffer.back();
        list_.PushClipRect(ImVec2(last.ClipRect.x, last.ClipRect.y), ImVec2(last.ClipRect.z, last.ClipRect.w));
        list_.PushTextureID(last.TextureId);
    }

    void rect(ImVec2 min, ImVec2 max, ImU32 colour, float radius = 0.0f, ImDrawFlags corners = ImDrawFlags_RoundCornersNone) {
        list_.AddRectFilled(min, max, colour, radius, corners);
    }

    // A cap with its text centred the way the overlay centres it: the measured width rounded up
    // unless the excess is under 0.05, halved as a float, or, for Alt and Space, the whole-pixel
    // cap halved in integers first.
    void cap(float left, float top, int width, int unit, const char* text, bool held,
             bool integerHalving = false) {
        rect(ImVec2(left, top), ImVec2(left + static_cast<float>(width), top + static_cast<float>(unit)),
             held ? kHeld : kIdle);
        // The raw measure: this release's CalcTextSize already rounds the width up on its own.
        const ImVec2 measured = ImGui::GetFont()->CalcTextSizeA(ImGui::GetFontSize(), FLT_MAX, -1.0f, text);
        const float textWidth = static_cast<float>(static_cast<int>(measured.x + 0.95f));
        const float centre = integerHalving ? static_cast<float>(static_cast<int>(left) + width / 2)
                                            : left + static_cast<float>(width) * 0.5f;
        const ImVec2 at(centre - textWidth * 0.5f,
                        top + static_cast<float>(unit) * 0.5f - measured.y * 0.5f);
        list_.AddText(at, kWhite, text);
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
        return ::testing::AssertionFailure() << "the window holds " << got.Size << " vertices, expected "
                                             << backgroundVertices << " + " << want.Size;
    }
    for (int i = 0; i < want.Size; ++i) {
        const ImDrawVert& a = got[backgroundVertices + i];
        const ImDrawVert& b = want[i];
        if (a.pos.x != b.pos.x || a.pos.y != b.pos.y || a.uv.x != b.uv.x || a.uv.y != b.uv.y || a.col != b.col) {
            return ::testing::AssertionFailure()
                   << "vertex " << i << " is (" << a.pos.x << ", " << a.pos.y << ") colour " << std::hex
                   << a.col << std::dec << ", expected (" << b.pos.x << ", " << b.pos.y << ") colour "
                   << std::hex << b.col;
        }
    }
    return ::testing::AssertionSuccess();
}

// Whether the list holds a square-cornered filled rectangle with exactly these corners and colour.
inline bool holdsRect(const ImDrawList& drawn, ImVec2 min, ImVec2 max, ImU32 colour) {
    const auto& v = drawn.VtxBuffer;
    for (int i = 0; i + 3 < v.Size; ++i) {
        if (v[i].pos.x == min.x && v[i].pos.y == min.y && v[i + 1].pos.x == max.x && v[i + 1].pos.y == min.y &&
            v[i + 2].pos.x == max.x && v[i + 2].pos.y == max.y && v[i + 3].pos.x == min.x &&
            v[i + 3].pos.y == max.y && v[i].col == colour) {
            return true;
        }
    }
    return false;
}

}  // namespace testsupport
