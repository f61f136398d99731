// The Host facade: its lifetime, the seats of loaded plugins, and withdrawing a plugin at unload.
#include <algorithm>
#include <typeindex>
#include <typeinfo>

#include "host_state.h"

namespace sandbox {

namespace {
thread_local int pluginCallDepth = 0;
}

PluginCallScope::PluginCallScope(Host::State& state) : state_(state), outermost_(pluginCallDepth == 0) {
    if (outermost_) state_.pluginCalls.lock_shared();
    ++pluginCallDepth;
}

PluginCallScope::~PluginCallScope() {
    --pluginCallDepth;
    if (outermost_) state_.pluginCalls.unlock_shared();
}

Host::Host() : state_(std::make_unique<State>()) {
    state_->match.state = state_.get();
    state_->keysHeld = std::make_unique<std::atomic<bool>[]>(keyNames().size());
    state_->keysPolled = std::make_unique<std::atomic<bool>[]>(keyNames().size());
    setCurrentHostState(state_.get());
}

Host::~Host() {
    if (currentHostState() == state_.get()) setCurrentHostState(nullptr);
}

OwnerId Host::newOwner() {
    std::lock_guard lock(state_->mutex);
    return ++state_->lastOwner;
}

namespace {
PluginSeat& seatFor(Host::State& state, OwnerId owner) {
    std::lock_guard lock(state.mutex);
    auto found = std::find_if(state.seats.begin(), state.seats.end(),
                              [&](const auto& seat) { return seat->owner == owner && !seat->retired; });
    if (found != state.seats.end()) return **found;
    // A withdrawn plugin's seat serves the next one, so loading again and again does not grow.
    auto retired = std::find_if(state.seats.begin(), state.seats.end(), [](const auto& seat) { return seat->retired; });
    if (retired != state.seats.end()) {
        (*retired)->owner = owner;
        (*retired)->retired = false;
        return **retired;
    }
    auto seat = std::make_unique<PluginSeat>();
    seat->state = &state;
    seat->owner = owner;
    const auto address = reinterpret_cast<std::uintptr_t>(seat.get());
    const std::type_index plugin(typeid(PluginSeat));  // the stand-in tells plugins apart by seat
    seat->cvarManager = std::make_shared<CVarManagerWrapper>(address, plugin);
    seat->gameWrapper = std::make_shared<GameWrapper>(address, PLUGINTYPE_FREEPLAY, plugin);
    state.seats.push_back(std::move(seat));
    return *state.seats.back();
}
}  // namespace

std::shared_ptr<CVarManagerWrapper> Host::cvarManagerFor(OwnerId owner) { return seatFor(*state_, owner).cvarManager; }

std::shared_ptr<GameWrapper> Host::gameWrapperFor(OwnerId owner) { return seatFor(*state_, owner).gameWrapper; }

void Host::withdraw(OwnerId owner) {
    auto& state = *state_;
    {
        std::lock_guard lock(state.mutex);
        auto ownedBy = [owner](const auto& item) { return item.owner == owner; };
        for (const auto& slot : state.windows) {
            if (slot.owner == owner) std::erase(state.pendingToggles, slot.menuName);
        }
        std::erase_if(state.windows, ownedBy);
        std::erase_if(state.timers, ownedBy);
        std::erase_if(state.hooks, ownedBy);
        for (auto& variable : state.variables) {
            std::erase_if(variable->handlers, ownedBy);
            if (variable->owner == owner && variable->alive) {
                // Only the name stays, for the next registration of it to reuse.
                variable->alive = false;
                variable->owner = 0;
                std::vector<Variable::Handler>().swap(variable->handlers);
                std::string().swap(variable->value);
                std::string().swap(variable->defaultValue);
                std::string().swap(variable->description);
            }
        }
        for (auto& seat : state.seats) {
            if (seat->owner == owner) seat->retired = true;
        }
    }
    // Wait for calls into plugins that started before the registrations went away (unless this
    // is itself such a call, which would wait for itself).
    if (pluginCallDepth == 0) std::unique_lock wait(state.pluginCalls);
}

}  // namespace sandbox
