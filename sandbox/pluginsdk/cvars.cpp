// Console variables: registration, values, change handlers, and the CVarWrapper handle.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <typeindex>
#include <typeinfo>
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

// The plugin index is the real host's way of telling plugins apart; the stand-in goes by seat.
CVarWrapper wrapperOf(Variable* variable) {
    return CVarWrapper(reinterpret_cast<std::uintptr_t>(variable), std::type_index(typeid(Variable)));
}

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
        handler.function(previous, wrapperOf(&variable));
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

// A handle's Impl holds the variable it names, null for the null handle; the plugin's index is the
// host's way of telling plugins apart, which the stand-in does by seat instead.
CVarWrapper::CVarWrapper(std::uintptr_t mem, std::type_index)
    : pimpl(std::make_unique<Impl>(Impl{sandbox::variableAt(mem)})) {}

CVarWrapper::CVarWrapper(const CVarWrapper& other) : pimpl(std::make_unique<Impl>(*other.pimpl)) {}

CVarWrapper& CVarWrapper::operator=(CVarWrapper rhs) {
    pimpl.swap(rhs.pimpl);
    return *this;
}

CVarWrapper::~CVarWrapper() = default;

bool CVarWrapper::IsNull() { return pimpl->variable == nullptr; }

namespace {
// The variable's name for the journal and its state; null handles journal to the current host.
sandbox::Host::State* stateOf(const sandbox::Variable* variable) {
    return variable ? variable->state : sandbox::currentHostState();
}
std::string_view nameOf(const sandbox::Variable* variable) {
    return variable ? std::string_view(variable->name) : std::string_view("<null>");
}
template <typename... More>
void record(const sandbox::Variable* variable, const char* operation, const More&... more) {
    if (auto* state = stateOf(variable)) state->record(operation, nameOf(variable), more...);
}
}  // namespace

std::string CVarWrapper::getStringValue() {
    auto* variable = pimpl->variable;
    record(variable, "CVarWrapper::getStringValue");
    if (!variable) return {};
    std::lock_guard lock(variable->state->mutex);
    return variable->alive ? variable->value : std::string();
}

float CVarWrapper::getFloatValue() {
    auto* variable = pimpl->variable;
    record(variable, "CVarWrapper::getFloatValue");
    if (!variable) return 0.0f;
    std::string text;
    {
        std::lock_guard lock(variable->state->mutex);
        if (!variable->alive) return 0.0f;
        text = variable->value;
    }
    return sandbox::parseFloatLikeC(text);
}

void CVarWrapper::setValue(std::string value) {
    auto* variable = pimpl->variable;
    record(variable, "CVarWrapper::setValue", value);
    if (variable) variable->state->setValue(*variable, std::move(value));
}

void CVarWrapper::notify() {
    auto* variable = pimpl->variable;
    record(variable, "CVarWrapper::notify");
    if (variable) variable->state->notify(*variable);
}

void CVarWrapper::addOnValueChanged(std::function<void(std::string, CVarWrapper)> changeFunc) {
    auto* variable = pimpl->variable;
    record(variable, "CVarWrapper::addOnValueChanged");
    if (!variable || !changeFunc) return;
    std::lock_guard lock(variable->state->mutex);
    if (variable->alive) {
        variable->handlers.push_back({variable->owner, std::move(changeFunc)});
    }
}
