// Console variables: registration, values, change handlers, and the CVarWrapper handle.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "host_state.h"

namespace sandbox {

namespace {
Variable* variableAt(std::uintptr_t address) { return reinterpret_cast<Variable*>(address); }

std::string clampedText(const Variable& variable, std::string value) {
    if (!variable.hasMin && !variable.hasMax) return value;
    float number = parseFloatLikeC(value);
    if (std::isnan(number)) return value;
    float clamped = number;
    if (variable.hasMin) clamped = std::max(clamped, variable.min);
    if (variable.hasMax) clamped = std::min(clamped, variable.max);
    if (clamped == number) return value;
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, clamped);
    return error == std::errc{} ? std::string(buffer, end) : value;
}
}  // namespace

Variable* Host::State::findVariable(std::string_view name) {
    auto found = variablesByName.find(name);
    return found == variablesByName.end() || !found->second->alive ? nullptr : found->second;
}

Variable* Host::State::registerVariable(OwnerId owner, std::string name, std::string defaultValue,
                                        std::string description, bool searchable, bool hasMin, float min, bool hasMax,
                                        float max, bool saveToCfg) {
    std::lock_guard lock(mutex);
    Variable* variable = nullptr;
    if (auto found = variablesByName.find(name); found != variablesByName.end()) {
        if (found->second->alive) return found->second;
        variable = found->second;
    } else {
        variables.push_back(std::make_unique<Variable>());
        variable = variables.back().get();
        variable->name = std::move(name);
        variablesByName.emplace(variable->name, variable);
    }
    variable->state = this;
    variable->owner = owner;
    variable->defaultValue = defaultValue;
    variable->description = std::move(description);
    variable->searchable = searchable;
    variable->hasMin = hasMin;
    variable->min = min;
    variable->hasMax = hasMax;
    variable->max = max;
    variable->saveToCfg = saveToCfg;
    variable->value = std::move(defaultValue);
    variable->alive = true;
    return variable;
}

void Host::State::setValue(Variable& variable, std::string value) {
    std::lock_guard turn(gameThread);
    std::string previous;
    {
        std::lock_guard lock(mutex);
        if (!variable.alive) return;
        previous = std::exchange(variable.value, clampedText(variable, std::move(value)));
    }
    runHandlers(variable, previous);
}

void Host::State::notify(Variable& variable) {
    std::lock_guard turn(gameThread);
    std::string current;
    {
        std::lock_guard lock(mutex);
        if (!variable.alive) return;
        current = variable.value;
    }
    runHandlers(variable, current);
}

void Host::State::runHandlers(Variable& variable, const std::string& previous) {
    // In scope before the copy: a withdraw that misses the copy waits for the calls.
    PluginCallScope scope(*this);
    std::vector<Variable::Handler> handlers;
    {
        std::lock_guard lock(mutex);
        handlers = variable.handlers;
    }
    for (auto& handler : handlers) {
        handler.function(previous, CVarWrapper(reinterpret_cast<std::uintptr_t>(&variable)));
    }
}

std::optional<std::string> Host::variableValue(std::string_view name) const {
    std::lock_guard lock(state_->mutex);
    Variable* variable = state_->findVariable(name);
    if (!variable) return std::nullopt;
    return variable->value;
}

std::vector<std::string> Host::variableNames() const {
    std::lock_guard lock(state_->mutex);
    std::vector<std::string> names;
    for (const auto& [name, variable] : state_->variablesByName) {
        if (variable->alive) names.push_back(name);
    }
    return names;
}

}  // namespace sandbox

using sandbox::variableAt;

CVarWrapper::CVarWrapper(std::uintptr_t mem) : memory_address(mem) {}

bool CVarWrapper::IsNull() const { return memory_address == 0; }

namespace {
// The variable's name for the journal and its state; null handles journal to the current host.
sandbox::Host::State* stateOf(const CVarWrapper& handle) {
    return handle.IsNull() ? sandbox::currentHostState() : sandbox::variableAt(handle.memory_address)->state;
}
std::string_view nameOf(const CVarWrapper& handle) {
    return handle.IsNull() ? std::string_view("<null>") : sandbox::variableAt(handle.memory_address)->name;
}
template <typename... More>
void record(const CVarWrapper& handle, const char* operation, const More&... more) {
    if (auto* state = stateOf(handle)) state->record(operation, nameOf(handle), more...);
}
}  // namespace

std::string CVarWrapper::getStringValue() {
    record(*this, "CVarWrapper::getStringValue");
    if (IsNull()) return {};
    auto* variable = sandbox::variableAt(memory_address);
    std::lock_guard lock(variable->state->mutex);
    return variable->alive ? variable->value : std::string();
}

float CVarWrapper::getFloatValue() {
    record(*this, "CVarWrapper::getFloatValue");
    if (IsNull()) return 0.0f;
    auto* variable = sandbox::variableAt(memory_address);
    std::string text;
    {
        std::lock_guard lock(variable->state->mutex);
        if (!variable->alive) return 0.0f;
        text = variable->value;
    }
    return sandbox::parseFloatLikeC(text);
}

void CVarWrapper::setValue(std::string value) {
    record(*this, "CVarWrapper::setValue", value);
    if (!IsNull()) {
        auto* variable = sandbox::variableAt(memory_address);
        variable->state->setValue(*variable, std::move(value));
    }
}

void CVarWrapper::notify() {
    record(*this, "CVarWrapper::notify");
    if (!IsNull()) {
        auto* variable = sandbox::variableAt(memory_address);
        variable->state->notify(*variable);
    }
}

void CVarWrapper::addOnValueChanged(std::function<void(std::string, CVarWrapper)> changedFunc) {
    record(*this, "CVarWrapper::addOnValueChanged");
    if (IsNull() || !changedFunc) return;
    auto* variable = sandbox::variableAt(memory_address);
    std::lock_guard lock(variable->state->mutex);
    if (variable->alive) {
        variable->handlers.push_back({variable->owner, std::move(changedFunc)});
    }
}
