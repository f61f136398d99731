// The window interface: a plugin that derives from it gets one host window, toggled by
// "togglemenu <menuName>". The host hands over its Dear ImGui context before the first drawOverlay
// and calls drawOverlay inside its frames while the window is open.
#pragma once

#include <cstdint>
#include <string>

#include "bakkesmod/hostapi.h"

namespace BakkesMod::Plugin {

// Slot order is part of the host's binary interface: do not reorder.
class BAKKESMOD_API PluginWindow {
public:
    virtual void drawOverlay() = 0;                           // one frame of the window's content
    virtual std::string menuName() = 0;                       // key of "togglemenu"
    virtual std::string menuTitle() = 0;                      // the window's title
    virtual void adoptUiContext(std::uintptr_t context) = 0;  // the host's ImGuiContext*
    virtual bool blocksInput() = 0;                           // whether the game loses input while open
    virtual bool isOverlayActive() = 0;                       // whether the host shows its cursor
    virtual void windowOpened() = 0;                          // the host opened the window
    virtual void windowClosed() = 0;                          // the host closed the window
};

}  // namespace BakkesMod::Plugin
