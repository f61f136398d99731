// Explaining a missing overlay from the host's own state.
#include "sandbox/session/overlay_absence.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sandbox/pluginsdk/host.h"

namespace sandbox::session {
namespace {

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", value);
    return text;
}

std::string pixels(float width, float height) {
    char text[64];
    std::snprintf(text, sizeof text, "%.0fx%.0f", width, height);
    return text;
}

std::string place(float x, float y) {
    char text[64];
    std::snprintf(text, sizeof text, "(%.0f, %.0f)", x, y);
    return text;
}

}  // namespace

OverlayAbsence whyNoOverlay(const Host& host, std::string_view menuName, bool moduleLoaded) {
    if (!moduleLoaded) return {OverlayCause::NoModule, "no module is loaded ('load' loads it)"};
    const std::string menu(menuName);
    if (!host.isWindowOpen(menu)) {
        // The plugin opens its window from a timer set at load; a pending one says when.
        if (const auto due = host.nextTimerDue()) {
            return {OverlayCause::NotOpenYet, "the window is not open yet (the plugin's timer opens it at game time " +
                                                  seconds(*due) + ", in " + seconds(*due - host.clock()) + ")"};
        }
        return {OverlayCause::Closed, "the window is closed ('togglemenu " + menu + "' opens it)"};
    }
    switch (host.gameMode()) {
    case GameMode::CustomTraining:
        return {OverlayCause::CustomTraining, "the player is in custom training, and the plugin drew no window there"};
    case GameMode::Menu:
        return {OverlayCause::NoMatch, "no match is running ('game local' or 'game online' starts one)"};
    default: break;
    }
    if (host.matchEnded()) return {OverlayCause::MatchEnded, "the match has ended ('match running' starts another)"};
    return {OverlayCause::NotDrawn, "the plugin drew no window in this frame"};
}

std::optional<OverlayAbsence> whyOverlayCut(const Host& host, const WindowGeometry& window) {
    const std::string screen = pixels(window.screenWidth, window.screenHeight);
    // A window asked for at no size (or less) is laid out by the library at its smallest, empty.
    if (window.width <= window.minWidth && window.height <= window.minHeight) {
        const auto scale = host.variableValue(kScaleVariable);
        return OverlayAbsence{OverlayCause::NoSize,
                              "the overlay window has no size: the library shows it empty at its smallest, " +
                                  pixels(window.width, window.height) + " (" + kScaleVariable + " is \"" +
                                  scale.value_or("") + "\"; '" + kScaleVariable + " 1' gives it back its size)",
                              true};
    }
    const float shownWidth =
        std::max(0.0f, std::min(window.x + window.width, window.screenWidth) - std::max(window.x, 0.0f));
    const float shownHeight =
        std::max(0.0f, std::min(window.y + window.height, window.screenHeight) - std::max(window.y, 0.0f));
    // Whole pixels: a window of 1228.8 pixels that shows 1228 is whole to the eye.
    const bool cutAcross = std::floor(shownWidth) < std::floor(window.width);
    const bool cutDown = std::floor(shownHeight) < std::floor(window.height);
    if (!cutAcross && !cutDown) return std::nullopt;
    const std::string shown = pixels(std::floor(shownWidth), std::floor(shownHeight)) + " of its " +
                              pixels(std::floor(window.width), std::floor(window.height)) + " pixels show";
    // The library keeps a small corner of a window dragged away on the screen, so it can be grabbed.
    if ((cutAcross && shownWidth <= window.keptWidth + 1) || (cutDown && shownHeight <= window.keptHeight + 1)) {
        return OverlayAbsence{OverlayCause::OffScreen,
                              "the overlay window is outside the " + screen + " screen at " +
                                  place(window.x, window.y) + ": " + shown + " ('drag " +
                                  std::to_string(static_cast<long>(-std::floor(window.x))) + " " +
                                  std::to_string(static_cast<long>(-std::floor(window.y))) +
                                  "' in a session brings it to the top-left corner; removing imgui.ini from the "
                                  "home puts it back in its first place)",
                              true};
    }
    return OverlayAbsence{OverlayCause::CutAtEdge,
                          "the overlay window is cut at the edge of the " + screen + " screen: " + shown + " (at " +
                              place(window.x, window.y) + "; a larger --screen or a drag shows it whole)",
                          true};
}

}  // namespace sandbox::session
