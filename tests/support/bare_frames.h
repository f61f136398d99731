// Whole frames on the host's Dear ImGui context drawn without the plugin, to weigh the plugin's own
// against: the overlay's window begun and ended exactly as the plugin sets it up, then filled by
// the caller (with nothing, or with shapes worked out beforehand).
#pragma once

#include <imgui.h>

#include "support/expected_overlay.h"

namespace testsupport {

// NewFrame to Render, as the host's frame loop runs it, with the overlay's window in between at
// this scale and background alpha; fill(drawList) draws into the window.
template <typename Fill>
ImDrawData* bareOverlayFrame(ImGuiContext* context, float scale, float transparency, Fill&& fill) {
    ImGui::SetCurrentContext(context);
    ImGui::GetIO().DeltaTime = 1.0f / 60.0f;
    ImGui::NewFrame();
    ImGui::SetNextWindowBgAlpha(transparency);
    ImGui::SetNextWindowPos(ImVec2(128.0f, 128.0f), ImGuiCond_FirstUseEver, ImVec2(0.0f, 0.0f));
    ImGui::SetNextWindowSize(ImVec2(scale * 768.0f, scale * 384.0f), ImGuiCond_Always);
    ImGui::PushStyleVar(ImGuiStyleVar_WindowBorderSize, 0.0f);
    bool open = true;
    ImGui::Begin(kWindowTitle, &open,
                 ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoCollapse);
    fill(*ImGui::GetWindowDrawList());
    ImGui::PopStyleVar();
    ImGui::End();
    ImGui::Render();
    return ImGui::GetDrawData();
}

inline ImDrawData* emptyOverlayFrame(ImGuiContext* context, float scale = 1.0f, float transparency = 0.0f) {
    return bareOverlayFrame(context, scale, transparency, [](ImDrawList&) {});
}

}  // namespace testsupport
