// The host's window interface: names, context hand-over, the open/close protocol with the host's
// menu toggle, and the per-frame gate and window set-up that the keyboard and mouse draw into.
#include <cmath>
#include <cstdint>
#include <string>

#include <imgui.h>

#include "overlay/FrameDrawing.h"
#include "overlay/Layout.h"
#include "plugin/Keyvane.h"

using namespace layout;

namespace {

// Truncated sizes saturate; the scaled figures kept as floats are at most the window width times
// the scale, so a finite window width means finite geometry everywhere in the frame.
static_assert(kWindowWidth >= kWindowHeight && kWindowWidth >= kMouseStripWidth);

// The library clamps the alpha to 0..1 itself but turns NaN into a byte with undefined behaviour;
// hand it the clamp's answer for the values that are not finite, NaN counting as clear.
float backgroundAlpha(float requested) {
    if (std::isnan(requested)) {
        return 0.0f;
    }
    if (std::isinf(requested)) {
        return requested > 0.0f ? 1.0f : 0.0f;
    }
    return requested;
}

}  // namespace

std::string Keyvane::GetMenuName() { return "keyvane"; }

std::string Keyvane::GetMenuTitle() { return "Keyvane Display"; }

void Keyvane::SetImGuiContext(std::uintptr_t context) {
    ImGui::SetCurrentContext(reinterpret_cast<ImGuiContext*>(context));
}

bool Keyvane::ShouldBlockInput() { return false; }

bool Keyvane::IsActiveOverlay() { return false; }

void Keyvane::OnOpen() { windowOpen = true; }

void Keyvane::OnClose() { windowOpen = false; }

// The host opens or closes the window in answer; windowOpen changes only when it reports back.
void Keyvane::executeToggle() { cvarManager->executeCommand("togglemenu " + GetMenuName(), true); }

void Keyvane::openWindowLater() { executeToggle(); }

void Keyvane::Render() {
    if (!windowOpen) {
        // The host still draws a window the plugin considers closed: ask it to close.
        executeToggle();
        return;
    }
    if (gameWrapper->IsInCustomTraining()) {
        return;
    }
    ServerWrapper match(0);
    if (gameWrapper->IsInOnlineGame()) {
        match = gameWrapper->GetOnlineGame();
    } else if (gameWrapper->IsInGame()) {
        match = gameWrapper->GetGameEventAsServer();
    }
    if (match.IsNull() || match.GetbMatchEnded() != 0) {
        return;
    }

    // Read once: the console may change it on another thread while this frame is drawn.
    const float frameScale = scale.load(std::memory_order_relaxed);
    const ImVec2 windowSize(frameScale * kWindowWidth, frameScale * kWindowHeight);
    // The library crashes on infinite or NaN geometry, and turns coordinates into whole pixels
    // through 32-bit integers, which is undefined past 2^31. Everything drawn lies within the
    // scaled window width of the origin, so a scale whose window is not narrower than
    // kLargestWindowWidth (NaN included) is treated like a closed match. The setting itself keeps
    // the value the console gave.
    if (!(std::fabs(windowSize.x) < kLargestWindowWidth)) {
        return;
    }

    ImGui::SetNextWindowBgAlpha(backgroundAlpha(transparency.load(std::memory_order_relaxed)));
    ImGui::SetNextWindowPos(ImVec2(kWindowLeft, kWindowTop), ImGuiCond_FirstUseEver, ImVec2(0.0f, 0.0f));
    ImGui::SetNextWindowSize(windowSize, ImGuiCond_Always);
    ImGui::PushStyleVar(ImGuiStyleVar_WindowBorderSize, 0.0f);
    // Without a title bar the library shows no close control, so it never clears windowOpen; what
    // Begin returns does not matter, since nothing is laid out through widgets.
    ImGui::Begin(GetMenuTitle().c_str(), &windowOpen, kWindowFlags);

    ImDrawList* drawList = ImGui::GetWindowDrawList();
    const ImVec2 contentOrigin = ImGui::GetCursorScreenPos();
    const ImVec2 origin(contentOrigin.x + kKeyboardOffsetX, contentOrigin.y + kKeyboardOffsetY);
    const FrameDrawing frame = frameDrawing(frameScale);
    requireDrawnKeys();
    drawKeyRow(drawList, drawnRow(kKeyOne, 5), ImVec2(origin.x + kNumberRowIndent, origin.y), frame);
    drawTabRow(drawList, origin, frame);
    drawCapsRow(drawList, origin, frame);
    drawShiftRow(drawList, origin, frame);
    drawBottomRow(drawList, origin, frame);
    drawMouse(drawList, origin, frame);

    // The border size belongs to the host's style: give it back before the window ends.
    ImGui::PopStyleVar();
    ImGui::End();
}
