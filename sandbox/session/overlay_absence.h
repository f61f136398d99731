// Why a frame shows no overlay window, or only part of it, told from what the host knows (the
// window's open flag, its pending timers, the game mode and the match, the console variables, and
// the window's rectangle in the UI context), so a picture never puzzles.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sandbox {
class Host;
}

namespace sandbox::session {

enum class OverlayCause {
    NoModule,
    NotOpenYet,
    Closed,
    CustomTraining,
    NoMatch,
    MatchEnded,
    NotDrawn,
    NoSize,     // drawn, at the library's smallest window and empty
    OffScreen,  // drawn, but only the corner the library keeps on the screen shows
    CutAtEdge,  // drawn, partly past the screen's edge
};

struct OverlayAbsence {
    OverlayCause cause;
    std::string text;      // one clause; its figures (a timer's countdown) change while the cause stays
    bool partial = false;  // the window shows, but not as a whole: the picture holds what the text says
};

// The overlay window as the UI context laid it out in the last frame, and what the library allows.
struct WindowGeometry {
    float x = 0, y = 0, width = 0, height = 0;  // the window's rectangle
    float minWidth = 0, minHeight = 0;          // the library's smallest window (style.WindowMinSize)
    float keptWidth = 0, keptHeight = 0;        // how much of a window the library keeps on the screen
    float screenWidth = 0, screenHeight = 0;
};

// The console variable that sizes the overlay, as 'render --scale' sets it.
inline constexpr const char* kScaleVariable = "kvanescale";

// Why a frame whose plugin window (registered as menuName) drew nothing, best cause first, in the
// order the plugin hides: a closed window, custom training, no match, an ended match. Without a
// cause the host knows, it says the plugin drew none.
OverlayAbsence whyNoOverlay(const Host& host, std::string_view menuName, bool moduleLoaded);

// Why a window that was drawn shows nothing or only a part, or none when it shows whole: no size of
// its own (with the scale variable's value), outside the screen (where, and the drag that brings it
// back), or cut at the screen's edge.
std::optional<OverlayAbsence> whyOverlayCut(const Host& host, const WindowGeometry& window);

}  // namespace sandbox::session
