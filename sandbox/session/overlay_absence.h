// Why a frame shows no overlay window, told from what the host knows (the window's open flag, its
// pending timers, the game mode and the match), so a picture without the overlay never puzzles.
#pragma once

#include <string>
#include <string_view>

namespace sandbox {
class Host;
}

namespace sandbox::app {

enum class OverlayCause { NoModule, NotOpenYet, Closed, CustomTraining, NoMatch, MatchEnded, NotDrawn };

struct OverlayAbsence {
    OverlayCause cause;
    std::string text;  // one clause; its figures (a timer's countdown) change while the cause stays
};

// Why a frame whose plugin window (registered as menuName) drew nothing, best cause first, in the
// order the plugin hides: a closed window, custom training, no match, an ended match. Without a
// cause the host knows, it says the plugin drew none.
OverlayAbsence whyNoOverlay(const Host& host, std::string_view menuName, bool moduleLoaded);

}  // namespace sandbox::app
