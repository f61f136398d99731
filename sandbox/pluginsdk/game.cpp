// The game side of the host: state flags, the current match, the clock with its timers, game events,
// and the GameWrapper, ServerWrapper and ActorWrapper handles that plugins read them through.
#include <algorithm>
#include <cmath>
#include <utility>

#include "host_state.h"

namespace sandbox {

double Host::clock() const {
    std::lock_guard lock(state_->mutex);
    return state_->clock;
}

std::size_t Host::pendingTimers() const {
    std::lock_guard lock(state_->mutex);
    return state_->timers.size();
}

std::optional<double> Host::nextTimerDue() const {
    std::lock_guard lock(state_->mutex);
    const auto earliest = std::min_element(state_->timers.begin(), state_->timers.end(),
                                           [](const Timer& a, const Timer& b) { return a.due < b.due; });
    if (earliest == state_->timers.end()) return std::nullopt;
    return earliest->due;
}

void Host::advance(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0) return;
    auto& state = *state_;
    std::lock_guard turn(state.gameThread);
    double target;
    {
        std::lock_guard lock(state.mutex);
        target = state.clock + seconds;
    }
    // One timer at a time, so that a timer set by a firing timer can still fall due in this call.
    for (;;) {
        PluginCallScope scope(state);
        Timer due;
        {
            std::lock_guard lock(state.mutex);
            auto next = std::min_element(state.timers.begin(), state.timers.end(), [](const Timer& a, const Timer& b) {
                return a.due != b.due ? a.due < b.due : a.sequence < b.sequence;
            });
            if (next == state.timers.end() || next->due > target) {
                state.clock = target;
                return;
            }
            due = std::move(*next);
            state.timers.erase(next);
            state.clock = std::max(state.clock, due.due);
        }
        due.function(due.gameWrapper);
    }
}

void Host::fireEvent(std::string_view eventName) {
    auto& state = *state_;
    std::lock_guard turn(state.gameThread);
    PluginCallScope scope(state);
    std::vector<std::function<void(std::string)>> callbacks;
    {
        std::lock_guard lock(state.mutex);
        callbacks = state.firingHooks.take();
        for (const auto& hook : state.hooks) {
            if (hook.eventName == eventName) callbacks.push_back(hook.callback);
        }
    }
    for (auto& callback : callbacks) callback(std::string(eventName));
    // Emptied inside the call scope, so that the copied callbacks die before an unload may close
    // the module their code lives in.
    callbacks.clear();
    std::lock_guard lock(state.mutex);
    state.firingHooks.giveBack(std::move(callbacks));
}

void Host::setGameMode(GameMode mode) {
    std::lock_guard lock(state_->mutex);
    state_->mode = mode;
}

void Host::setMatchEnded(bool ended) { state_->match.ended.store(ended); }

GameMode Host::gameMode() const {
    std::lock_guard lock(state_->mutex);
    return state_->mode;
}

bool Host::matchEnded() const { return state_->match.ended.load(); }

}  // namespace sandbox

namespace {
sandbox::GameMode modeOf(sandbox::PluginSeat& seat) {
    std::lock_guard lock(seat.state->mutex);
    return seat.state->mode;
}

const char* handleText(const ActorWrapper& actor) { return actor.memory_address == 0 ? "null" : "match"; }
}  // namespace

using sandbox::GameMode;

// A game wrapper's Impl holds its plugin's seat; the plugin kind and index are the host's ways of
// telling plugins apart, which the stand-in does by seat instead.
GameWrapper::GameWrapper(std::uintptr_t mem, long, std::type_index)
    : pimpl(std::make_unique<Impl>(Impl{reinterpret_cast<sandbox::PluginSeat*>(mem)})) {}

GameWrapper::GameWrapper(const GameWrapper& other) : pimpl(std::make_unique<Impl>(*other.pimpl)) {}

GameWrapper& GameWrapper::operator=(GameWrapper rhs) {
    pimpl.swap(rhs.pimpl);
    return *this;
}

GameWrapper::~GameWrapper() = default;

bool GameWrapper::IsInGame() {
    auto& seat = *pimpl->seat;
    seat.state->record("GameWrapper::IsInGame");
    const GameMode mode = modeOf(seat);
    return mode == GameMode::LocalMatch || mode == GameMode::CustomTraining;
}

bool GameWrapper::IsInOnlineGame() {
    auto& seat = *pimpl->seat;
    seat.state->record("GameWrapper::IsInOnlineGame");
    return modeOf(seat) == GameMode::OnlineMatch;
}

bool GameWrapper::IsInCustomTraining() {
    auto& seat = *pimpl->seat;
    seat.state->record("GameWrapper::IsInCustomTraining");
    return modeOf(seat) == GameMode::CustomTraining;
}

ServerWrapper GameWrapper::GetOnlineGame() {
    auto& seat = *pimpl->seat;
    seat.state->record("GameWrapper::GetOnlineGame");
    const bool online = modeOf(seat) == GameMode::OnlineMatch;
    return ServerWrapper(online ? reinterpret_cast<std::uintptr_t>(&seat.state->match) : 0);
}

ServerWrapper GameWrapper::GetGameEventAsServer() {
    auto& seat = *pimpl->seat;
    seat.state->record("GameWrapper::GetGameEventAsServer");
    const GameMode mode = modeOf(seat);
    const bool hosted = mode == GameMode::LocalMatch || mode == GameMode::CustomTraining;
    return ServerWrapper(hosted ? reinterpret_cast<std::uintptr_t>(&seat.state->match) : 0);
}

int GameWrapper::GetFNameIndexByString(std::string name) {
    auto& seat = *pimpl->seat;
    seat.state->record("GameWrapper::GetFNameIndexByString", name);
    const int index = sandbox::Host::keyIndex(name);
    if (index == 0) {
        // Kept for the host to tell its user; a few are enough to tell, so a flood keeps no more.
        constexpr std::size_t kMostKept = 16;
        std::lock_guard lock(seat.state->mutex);
        if (seat.state->unknownKeyNames.size() < kMostKept) seat.state->unknownKeyNames.push_back(name);
    }
    return index;
}

void GameWrapper::SetTimeout(std::function<void(GameWrapper*)> theLambda, float time) {
    auto& seat = *pimpl->seat;
    auto& state = *seat.state;
    state.record("GameWrapper::SetTimeout", "<function>", time);
    if (!theLambda) return;
    // A delay that is no positive number falls due at once, at the next clock step.
    const double delay = std::isfinite(time) && time > 0 ? time : 0.0;
    std::lock_guard lock(state.mutex);
    state.timers.push_back({state.clock + delay, state.timerSequence++, seat.owner, std::move(theLambda), this});
}

void GameWrapper::HookEvent(std::string eventName, std::function<void(std::string)> callback) {
    auto& seat = *pimpl->seat;
    seat.state->record("GameWrapper::HookEvent", eventName, "<function>");
    if (!callback) return;
    std::lock_guard lock(seat.state->mutex);
    seat.state->hooks.push_back({seat.owner, std::move(eventName), std::move(callback)});
}

// The match handles keep no Impl: their address alone says which match, so copying one, as every
// frame does, allocates nothing.
ObjectWrapper::ObjectWrapper(std::uintptr_t mem) : memory_address(mem) {}

ActorWrapper::ActorWrapper(std::uintptr_t mem) : ObjectWrapper(mem) {}
ActorWrapper::ActorWrapper(const ActorWrapper& other) : ObjectWrapper(other) {}
ActorWrapper& ActorWrapper::operator=(ActorWrapper rhs) {
    memory_address = rhs.memory_address;
    return *this;
}
ActorWrapper::~ActorWrapper() = default;

bool ActorWrapper::IsNull() const {
    if (auto* state = sandbox::currentHostState()) state->record("ActorWrapper::IsNull", handleText(*this));
    return memory_address == 0;
}

bool ActorWrapper::IsNull() { return std::as_const(*this).IsNull(); }

GameEventWrapper::GameEventWrapper(std::uintptr_t mem) : ActorWrapper(mem) {}
GameEventWrapper::GameEventWrapper(const GameEventWrapper& other) : ActorWrapper(other) {}
GameEventWrapper& GameEventWrapper::operator=(GameEventWrapper rhs) {
    memory_address = rhs.memory_address;
    return *this;
}
GameEventWrapper::~GameEventWrapper() = default;

TeamGameEventWrapper::TeamGameEventWrapper(std::uintptr_t mem) : GameEventWrapper(mem) {}
TeamGameEventWrapper::TeamGameEventWrapper(const TeamGameEventWrapper& other) : GameEventWrapper(other) {}
TeamGameEventWrapper& TeamGameEventWrapper::operator=(TeamGameEventWrapper rhs) {
    memory_address = rhs.memory_address;
    return *this;
}
TeamGameEventWrapper::~TeamGameEventWrapper() = default;

ServerWrapper::ServerWrapper(std::uintptr_t mem) : TeamGameEventWrapper(mem) {}
ServerWrapper::ServerWrapper(const ServerWrapper& other) : TeamGameEventWrapper(other) {}
ServerWrapper& ServerWrapper::operator=(ServerWrapper rhs) {
    memory_address = rhs.memory_address;
    return *this;
}
ServerWrapper::~ServerWrapper() = default;

unsigned long ServerWrapper::GetbMatchEnded() {
    if (auto* state = sandbox::currentHostState()) {
        state->record("ServerWrapper::GetbMatchEnded", handleText(*this));
    }
    if (memory_address == 0) return 0;
    return reinterpret_cast<sandbox::Match*>(memory_address)->ended.load() ? 1u : 0u;
}
