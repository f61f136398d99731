// The stand-in host: the in-process state behind the SDK classes of host/ (console variables and
// commands, configuration replay, clock and timers, game events, game and key state, plugin windows)
// and the call journal that records every SDK call a plugin makes. Everything a test or the sandbox
// program does to "the game" goes through this class; plugins only ever see the SDK wrappers.
//
// Threads, as the game has them. Every member may be called from any thread, but plugins see two:
// - The game thread's work runs one piece at a time, whichever thread asks for it: console lines and
//   configuration replays with the change handlers they run, timers (advance), event hooks
//   (fireEvent), and a plugin's load and unload (runAsGame). A handler may call back into the host,
//   even run a console line, from inside that work without deadlocking.
// - The window operations (OnOpen, OnClose, Render) run only inside drawWindows, on
//   the one thread that draws. A toggle asked for anywhere else takes effect at the start of the next
//   drawWindows; one asked for while a frame is being drawn, at the end of that drawWindows.
// No host lock is held while plugin code runs, and drawing never waits for the game thread's work.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "bakkesmod/plugin/bakkesmodsdk.h"

class CVarManagerWrapper;
class GameWrapper;
namespace BakkesMod::Plugin {
class PluginWindow;
}

namespace sandbox {

// Who registered a variable, handler, timer, hook or window, so that unloading withdraws it.
// 0 is the host itself.
using OwnerId = std::uint32_t;

// One SDK call made by a plugin: "CVarManagerWrapper::registerCvar" and its arguments as text
// (bools "true"/"false", numbers in their shortest exact form, strings verbatim).
struct JournalEntry {
    std::string operation;
    std::vector<std::string> arguments;
    bool operator==(const JournalEntry&) const = default;
};

// Writes "operation(argument, argument)", for logs and test failures.
inline std::ostream& operator<<(std::ostream& out, const JournalEntry& entry) {
    out << entry.operation << '(';
    for (std::size_t i = 0; i < entry.arguments.size(); ++i) out << (i ? ", " : "") << entry.arguments[i];
    return out << ')';
}

enum class GameMode { Menu, LocalMatch, OnlineMatch, CustomTraining };

// The result of one console line: ok with the reply text (possibly empty), or the error.
struct CommandResult {
    bool ok = true;
    std::string message;
};

// Exported by pluginsdk like the SDK's own classes (built with _BAKKESMOD), imported by the sandbox.
class BAKKESMOD_PLUGIN_IMPORT Host {
public:
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // --- plugins ---------------------------------------------------------------------------------
    OwnerId newOwner();
    std::shared_ptr<CVarManagerWrapper> cvarManagerFor(OwnerId owner);
    std::shared_ptr<GameWrapper> gameWrapperFor(OwnerId owner);
    // Removes everything the owner registered (its window and pending toggles, timers, hooks,
    // change handlers and variables) and frees it; a withdrawn variable's record is reused when its
    // name is registered again. After this the host never calls into that plugin again.
    void withdraw(OwnerId owner);
    // Runs work as the game thread runs it: after any game-thread work under way, before the next.
    // The host loads and unloads plugins this way.
    void runAsGame(const std::function<void()>& work);

    // --- console ---------------------------------------------------------------------------------
    // Runs one console line: "NAME VALUE" sets a variable (double quotes group a value), "NAME"
    // replies with its value, "togglemenu MENU" toggles a window; anything else is an error. Errors
    // are also written to the console log; nothing changes on an error.
    CommandResult execute(std::string_view line);
    // Replays a configuration file: refuses (false, one console error) anything but a regular file;
    // otherwise reads it whole, drops a UTF-8 byte-order mark, and runs each line (LF or CR LF) as a
    // command. A bad line is logged as "FILE:LINE: message" and the replay goes on; blank lines and
    // "//" comments are skipped. Of a file larger than kMaxConfigBytes only the whole lines within
    // that limit are run, after one console error, and the result is false.
    bool loadConfig(const std::filesystem::path& path);
    static constexpr std::uintmax_t kMaxConfigBytes = 1024 * 1024;
    // The words of a console line as the console reads them: split at blanks, double quotes
    // grouping a value that may hold blanks (the quotes dropped); error names a quote left open.
    struct LineWords {
        std::vector<std::string> words;
        std::string error;  // empty when the line split cleanly
    };
    static LineWords splitLine(std::string_view line);
    std::optional<std::string> variableValue(std::string_view name) const;
    std::vector<std::string> variableNames() const;  // the registered variables, in name order
    // The latest console-log lines, oldest first: at most kConsoleLogLines, and of at most
    // kConsoleLogBytes together, besides the latest line, which is always kept whole.
    std::vector<std::string> consoleLog() const;
    static constexpr std::size_t kConsoleLogLines = 10'000;
    static constexpr std::size_t kConsoleLogBytes = 4 * 1024 * 1024;
    void log(std::string line);
    // How many console-log lines plugins have written through their CVarManagerWrapper::log, ever.
    std::size_t pluginLogLines() const;
    // Called with every console-log line as it is written, on the thread that writes it, except the
    // error of a line run through execute(), which its caller has in hand. Empty: none.
    void setLogListener(std::function<void(const std::string&)> listener);

    // --- clock and timers ------------------------------------------------------------------------
    double clock() const;          // seconds since the host started
    void advance(double seconds);  // moves the clock on, firing due timers in deadline order
    std::size_t pendingTimers() const;
    std::optional<double> nextTimerDue() const;  // the clock time of the earliest pending timer

    // --- game ------------------------------------------------------------------------------------
    void fireEvent(std::string_view eventName);  // runs every hook of that event
    void setGameMode(GameMode mode);
    void setMatchEnded(bool ended);  // of the current match, if any
    GameMode gameMode() const;
    bool matchEnded() const;

    // --- keys ------------------------------------------------------------------------------------
    static int keyIndex(std::string_view name);         // the game's name index; 0 if unknown
    static const std::vector<std::string>& keyNames();  // every name keyIndex knows
    bool setKeyHeld(std::string_view name, bool held);  // false for an unknown name
    // Whether a plugin has asked IsKeyPressed about the key since the host started.
    bool keyPolled(std::string_view name) const;
    // The names a plugin asked GetFNameIndexByString about that the game does not know (the answer
    // was 0), at most 16, since the last call; the list is emptied.
    std::vector<std::string> takeUnknownKeyNames();

    // --- windows ---------------------------------------------------------------------------------
    // Registers the window under its GetMenuName(); "togglemenu" reaches it from then on.
    void addWindow(OwnerId owner, BakkesMod::Plugin::PluginWindow* window);
    bool hasMenu(std::string_view menuName) const;
    bool isWindowOpen(std::string_view menuName) const;
    // Asks for a closed window to open (then OnOpen) or an open one to close (then
    // OnClose), inside drawWindows as the thread rules above say. False for an unknown menu.
    bool toggleWindow(std::string_view menuName);
    // Applies the toggles asked for, calls Render of every open window in registration order,
    // then applies the toggles asked for meanwhile. The caller has begun a Dear ImGui frame on the
    // context it handed to the windows; one thread draws.
    void drawWindows();

    // --- journal ---------------------------------------------------------------------------------
    std::vector<JournalEntry> journal() const;
    void clearJournal();
    void setJournalEnabled(bool enabled);  // long sessions turn it off
    // Hears every entry as the call is made, on the calling thread, whether or not the journal
    // keeps entries: a live trace of what a plugin asks of the host. Calls to it never overlap; it
    // must not call back into the host. An empty function removes it.
    using JournalListener = std::function<void(const JournalEntry&)>;
    void setJournalListener(JournalListener listener);

    struct State;  // shared with the SDK wrappers
    State& state() { return *state_; }

private:
    std::unique_ptr<State> state_;
};

}  // namespace sandbox
