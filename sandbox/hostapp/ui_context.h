// The host's one Dear ImGui context: default dark style, fonts built, the library's window settings
// kept in a file of the host's home (so a dragged window keeps its place), and the frame loop that
// draws every open plugin window. Rendering the frame's draw data is left to the caller.
#pragma once

#include <filesystem>
#include <optional>

#include <imgui.h>

#include "sandbox/pluginsdk/host.h"

namespace sandbox {

class UiContext {
public:
    // settingsFile: where the library keeps window settings; none keeps them in memory only.
    UiContext(ImVec2 displaySize, std::optional<std::filesystem::path> settingsFile = std::nullopt);
    ~UiContext();  // writes the settings file, destroys the context
    UiContext(const UiContext&) = delete;
    UiContext& operator=(const UiContext&) = delete;

    ImGuiContext* context() const { return context_; }
    ImVec2 displaySize() const;
    void setDisplaySize(ImVec2 size);  // the screen changed size (a resized window)

    // Mouse input for the next frame, in screen pixels (the user dragging a window).
    void setMouse(ImVec2 position, bool leftButtonDown);

    // One frame: NewFrame, host.drawWindows(), Render. Returns the frame's draw data, valid until
    // the next frame.
    ImDrawData* frame(Host& host, float deltaSeconds = 1.0f / 60.0f);

private:
    ImGuiContext* context_ = nullptr;
    std::optional<std::filesystem::path> settingsFile_;
    std::string settingsFileText_;  // the library keeps a pointer to it
};

}  // namespace sandbox
