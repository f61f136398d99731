// One line of the session language, read into a command. Reading checks the shape of the line and
// its numbers only; whether a key name, a console command or a file works is found out when it runs.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "sandbox/pluginsdk/host.h"
#include "sandbox/session/number_text.h"

namespace sandbox::session {

struct ConsoleLine {
    std::string text;
};  // any host console command, verbatim
struct SetGame {
    GameMode mode;
};  // game menu|local|online|training
struct SetMatch {
    bool ended;
};  // match running|ended
struct SetKeys {
    std::vector<std::string> names;
    bool held;
};  // hold / release
struct Tick {
    long count;
};  // tick [N]
struct DrawFrames {
    long count;
};  // frame [N]
struct Wait {
    double seconds;
};  // wait SECONDS
struct Drag {
    float dx;
    float dy;
};  // drag DX DY
struct Snapshot {
    std::string file;
    bool window = false;  // only the overlay window's rectangle
    int zoom = 1;         // each pixel repeated this many times across and down
};                        // snapshot FILE.png [--window] [--zoom N]
struct StartRecording {
    std::string file;
    bool window = false;  // the smallest rectangle that holds the overlay window in every frame
    int zoom = 1;
};                        // record FILE.gif [--window] [--zoom N]
struct StopRecording {};  // record stop
struct UnloadModule {};   // unload
struct LoadModule {};     // load

using SessionCommand = std::variant<ConsoleLine, SetGame, SetMatch, SetKeys, Tick, DrawFrames, Wait, Drag, Snapshot,
                                    StartRecording, StopRecording, UnloadModule, LoadModule>;

// What one line holds: nothing (blank or comment), a command, or the reason it cannot be read.
struct ParsedLine {
    bool empty = false;
    SessionCommand command;
    std::string error;  // one line, without file and line number
};

// Limits that keep a mistyped number from running for hours.
inline constexpr long kMaxTicksOrFrames = 1'000'000;
inline constexpr double kMaxWaitSeconds = 3600.0;
inline constexpr double kMaxDragPixels = 100'000.0;
inline constexpr int kMaxZoom = 8;

ParsedLine parseSessionLine(std::string_view line);

// The words the session reads itself (from session_help.h); every other line goes to the host console.
std::span<const std::string_view> sessionKeywords();

// The word of the language a command was read from: "hold", "snapshot", "VARIABLE" for a console line.
std::string_view commandWord(const SessionCommand& command);

// A picture's zoom: a whole number from 1 to kMaxZoom, as snapshot and render take it.
NumberRead<int> readZoom(std::string_view text);

// Whether a command can run beside a live window, whose own clock ticks and whose render thread
// draws: console lines and the game state can; time, frames, pictures, keys (the user's own hands
// hold them) and the module's loading belong to the window. A live session refuses the rest with
// kLiveRefusal.
bool runsLive(const SessionCommand& command);
inline constexpr const char* kLiveRefusal =
    "live mode runs console commands, 'game' and 'match' only; your keys and mouse do the rest";

}  // namespace sandbox::session
