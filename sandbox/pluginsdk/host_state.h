// The host's inner state, shared by the Host facade and the SDK wrappers. Private to pluginsdk.
//
// Locking: `gameThread` is held (recursively) by whoever runs the game thread's work, so that work
// runs one piece at a time. `mutex` guards every container below and is never held while plugin code
// runs: callers enter a PluginCallScope first (so withdraw() can wait for them), copy what they need
// under the mutex, unlock, then call out.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bakkesmod/wrappers/GameWrapper.h"
#include "bakkesmod/wrappers/cvarmanagerwrapper.h"
#include "bakkesmod/wrappers/cvarwrapper.h"
#include "sandbox/pluginsdk/host.h"
#include "scratch_lists.h"

namespace BakkesMod::Plugin {
class PluginWindow;
}

namespace sandbox {

using ChangeHandler = std::function<void(std::string, CVarWrapper)>;

struct Variable {
    Host::State* state = nullptr;
    OwnerId owner = 0;
    std::string name;
    std::string defaultValue;
    std::string description;
    bool searchable = true;
    bool hasMin = false;
    float min = 0;
    bool hasMax = false;
    float max = 0;
    bool saveToCfg = true;
    std::string value;
    bool alive = true;  // false once withdrawn; stale handles then read as empty and set nothing
    struct Handler {
        OwnerId owner;
        ChangeHandler function;
    };
    std::vector<Handler> handlers;
};

// What a plugin's two SDK handles point at.
struct PluginSeat {
    Host::State* state = nullptr;
    OwnerId owner = 0;
    std::shared_ptr<CVarManagerWrapper> cvarManager;
    std::shared_ptr<GameWrapper> gameWrapper;
    bool retired = false;  // its owner was withdrawn; the next new owner takes the seat
};

// The current match; the address behind every non-null ServerWrapper.
struct Match {
    Host::State* state = nullptr;
    std::atomic<bool> ended{false};
};

struct Timer {
    double due = 0;
    std::uint64_t sequence = 0;  // keeps timers with one deadline in the order they were set
    OwnerId owner = 0;
    std::function<void(GameWrapper*)> function;
    GameWrapper* gameWrapper = nullptr;
};

struct Hook {
    OwnerId owner = 0;
    std::string eventName;
    std::function<void(std::string)> callback;
};

struct WindowSlot {
    OwnerId owner = 0;
    BakkesMod::Plugin::PluginWindow* window = nullptr;
    std::string menuName;
    bool open = false;
};

struct Host::State {
    std::recursive_mutex gameThread;
    mutable std::mutex mutex;

    // Console.
    // Never shrinks, so handles stay valid. A withdrawn variable keeps its name in variablesByName,
    // dead, with nothing else, and comes back to life when that name is registered again.
    std::vector<std::unique_ptr<Variable>> variables;
    std::map<std::string, Variable*, std::less<>> variablesByName;
    std::vector<std::string> consoleLog;
    std::size_t consoleLogBytes = 0;  // of the lines in consoleLog
    std::size_t pluginLogLines = 0;   // written through a plugin's CVarManagerWrapper::log
    std::mutex logListenerMutex;      // keeps listener calls whole and in order
    std::function<void(const std::string&)> logListener;

    // Plugins.
    OwnerId lastOwner = 0;
    std::vector<std::unique_ptr<PluginSeat>> seats;  // never shrinks, so handles stay valid
    std::shared_mutex pluginCalls;                   // shared while a plugin runs, unique in withdraw

    // Clock, timers, events.
    double clock = 0;
    std::uint64_t timerSequence = 0;
    std::vector<Timer> timers;
    std::vector<Hook> hooks;
    ScratchLists<std::function<void(std::string)>> firingHooks;  // fireEvent's snapshots

    // Game.
    GameMode mode = GameMode::Menu;
    Match match;
    std::unique_ptr<std::atomic<bool>[]> keysHeld;    // by position in the key-name table
    std::unique_ptr<std::atomic<bool>[]> keysPolled;  // asked about by a plugin, by the same position
    std::vector<std::string> unknownKeyNames;         // names a plugin asked the index of, answered 0

    // Windows.
    std::vector<WindowSlot> windows;
    std::vector<std::string> pendingToggles;  // applied by the next drawWindows
    std::vector<std::string> togglesToApply;  // drawWindows' buffers, kept between frames
    std::vector<std::pair<BakkesMod::Plugin::PluginWindow*, bool>> windowChanges;
    std::vector<BakkesMod::Plugin::PluginWindow*> windowsToDraw;

    // Journal. The flag is read without the lock before any journal text is built, so a host with
    // the journal off spends no allocation on it.
    mutable std::mutex journalMutex;
    std::vector<JournalEntry> journal;
    std::atomic<bool> journalEnabled{true};
    std::atomic<bool> journalHeard{false};  // a listener is set
    Host::JournalListener journalListener;

    // Variables.
    Variable* findVariable(std::string_view name);  // live variables only; caller holds mutex
    Variable* registerVariable(OwnerId owner, std::string name, std::string defaultValue, std::string description,
                               bool searchable, bool hasMin, float min, bool hasMax, float max, bool saveToCfg);
    void setValue(Variable& variable, std::string value);  // runs the handlers after the change
    void notify(Variable& variable);                       // runs the handlers with no change
    void runHandlers(Variable& variable, const std::string& previous);

    // Console. Where the error of a line goes: the log and its listener, the log only (the caller
    // shows it to whoever typed the line), or nowhere (the caller logs it its own way).
    enum class ErrorLog { LogAndListener, LogOnly, None };
    CommandResult execute(std::string_view line, ErrorLog errorLog = ErrorLog::LogAndListener);
    bool loadConfig(const std::filesystem::path& path);
    void writeLog(std::string line, bool toListener = true);  // caller does not hold mutex

    // Windows.
    bool toggleWindow(std::string_view menuName);
    void applyToggles(std::vector<std::string>& menuNames);  // drawing thread, in a PluginCallScope

    // Journals one SDK call; each argument becomes its journal text only while the journal is on or
    // a listener hears it.
    template <typename... Arguments>
    void record(const char* operation, const Arguments&... arguments);
    void recordEntry(const char* operation, std::vector<std::string> arguments);
};

// Every call into plugin code runs inside one of these; nested calls on one thread share it.
class PluginCallScope {
public:
    explicit PluginCallScope(Host::State& state);
    ~PluginCallScope();
    PluginCallScope(const PluginCallScope&) = delete;
    PluginCallScope& operator=(const PluginCallScope&) = delete;

private:
    Host::State& state_;
    bool outermost_;
};

// A handle of the variable (null: the null handle).
CVarWrapper wrapperOf(Variable* variable);

// The host that SDK calls made on null handles are journaled to: the most recently created one.
Host::State* currentHostState();
void setCurrentHostState(Host::State* state);

// Journal text of arguments.
std::string journalText(bool value);
std::string journalText(float value);
std::string journalText(double value);
std::string journalText(int value);
std::string journalText(const char* text);
std::string journalText(std::string_view text);

template <typename... Arguments>
void Host::State::record(const char* operation, const Arguments&... arguments) {
    if (journalEnabled.load(std::memory_order_relaxed) || journalHeard.load(std::memory_order_relaxed))
        recordEntry(operation, {journalText(arguments)...});
}

// The C library's strtof in the C locale: the longest number prefix, 0 if there is none.
float parseFloatLikeC(const std::string& text);

}  // namespace sandbox

// What the SDK's handles keep behind their pointer to an implementation.
struct CVarWrapper::Impl {
    sandbox::Variable* variable = nullptr;
};
struct CVarManagerWrapper::Impl {
    sandbox::PluginSeat* seat = nullptr;
};
struct GameWrapper::Impl {
    sandbox::PluginSeat* seat = nullptr;
};
struct ActorWrapper::Impl {};
struct GameEventWrapper::Impl {};
struct TeamGameEventWrapper::Impl {};
struct ServerWrapper::Impl {};
