// Explaining a missing overlay from the host's own state.
#include "sandbox/session/overlay_absence.h"

#include <cstdio>

#include "sandbox/pluginsdk/host.h"

namespace sandbox::app {
namespace {

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", value);
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
        return {OverlayCause::CustomTraining, "the player is in custom training, where the overlay stays hidden"};
    case GameMode::Menu:
        return {OverlayCause::NoMatch, "no match is running ('game local' or 'game online' starts one)"};
    default: break;
    }
    if (host.matchEnded()) return {OverlayCause::MatchEnded, "the match has ended ('match running' starts another)"};
    return {OverlayCause::NotDrawn, "the plugin drew no window in this frame"};
}

}  // namespace sandbox::app
