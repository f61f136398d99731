// CVarManagerWrapper: a plugin's console, bound to its seat so that what it registers is its own.
#include "host_state.h"

// A manager's Impl holds its plugin's seat.
CVarManagerWrapper::CVarManagerWrapper(std::uintptr_t mem, std::type_index)
    : pimpl(std::make_unique<Impl>(Impl{reinterpret_cast<sandbox::PluginSeat*>(mem)})) {}

CVarManagerWrapper::CVarManagerWrapper(const CVarManagerWrapper& other) : pimpl(std::make_unique<Impl>(*other.pimpl)) {}

CVarManagerWrapper& CVarManagerWrapper::operator=(CVarManagerWrapper rhs) {
    pimpl.swap(rhs.pimpl);
    return *this;
}

CVarManagerWrapper::~CVarManagerWrapper() = default;

CVarWrapper CVarManagerWrapper::registerCvar(std::string cvar, std::string defaultValue, std::string desc,
                                             bool searchAble, bool hasMin, float min, bool hasMax, float max,
                                             bool saveToCfg) {
    auto& seat = *pimpl->seat;
    seat.state->record("CVarManagerWrapper::registerCvar", cvar, defaultValue, desc, searchAble, hasMin, min, hasMax,
                       max, saveToCfg);
    auto* variable = seat.state->registerVariable(seat.owner, std::move(cvar), std::move(defaultValue), std::move(desc),
                                                  searchAble, hasMin, min, hasMax, max, saveToCfg);
    return sandbox::wrapperOf(variable);
}

CVarWrapper CVarManagerWrapper::getCvar(std::string cvar) {
    auto& seat = *pimpl->seat;
    seat.state->record("CVarManagerWrapper::getCvar", cvar);
    std::lock_guard lock(seat.state->mutex);
    return sandbox::wrapperOf(seat.state->findVariable(cvar));
}

void CVarManagerWrapper::executeCommand(std::string command, bool log) {
    auto& seat = *pimpl->seat;
    seat.state->record("CVarManagerWrapper::executeCommand", command, log);
    seat.state->execute(command);
}

void CVarManagerWrapper::loadCfg(std::string path) {
    auto& seat = *pimpl->seat;
    seat.state->record("CVarManagerWrapper::loadCfg", path);
    seat.state->loadConfig(path);
}

void CVarManagerWrapper::log(std::string text) {
    auto& seat = *pimpl->seat;
    seat.state->record("CVarManagerWrapper::log", text);
    {
        std::lock_guard lock(seat.state->mutex);
        ++seat.state->pluginLogLines;
    }
    seat.state->writeLog(std::move(text));
}
