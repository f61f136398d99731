// The window interface: a plugin that derives from it gets one host window, toggled by
// "togglemenu <GetMenuName()>". The host hands over its Dear ImGui context before the first Render
// and calls Render inside its frames while the window is open.
#pragma once

#include <cstdint>
#include <string>

namespace BakkesMod::Plugin {

// Slot order is part of the host's binary interface: do not reorder.
class PluginWindow {
public:
    virtual void Render() = 0;                        // one frame of the window's content
    virtual std::string GetMenuName() = 0;            // key of "togglemenu"
    virtual std::string GetMenuTitle() = 0;           // the window's title
    virtual void SetImGuiContext(uintptr_t ctx) = 0;  // the host's ImGuiContext*
    virtual bool ShouldBlockInput() = 0;              // whether the game loses input while open
    virtual bool IsActiveOverlay() = 0;               // whether the host shows its cursor
    virtual void OnOpen() = 0;                        // the host opened the window
    virtual void OnClose() = 0;                       // the host closed the window
};

}  // namespace BakkesMod::Plugin
