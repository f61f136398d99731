// CVarManagerWrapper: a plugin's console, bound to its seat so that what it registers is its own.
#include "host_state.h"

namespace {
sandbox::PluginSeat& seatOf(const CVarManagerWrapper& manager) {
    return *reinterpret_cast<sandbox::PluginSeat*>(manager.memory_address);
}
}  // namespace

CVarManagerWrapper::CVarManagerWrapper(std::uintptr_t mem) : memory_address(mem) {}

CVarWrapper CVarManagerWrapper::registerCvar(std::string cvar, std::string defaultValue, std::string desc,
                                             bool searchAble, bool hasMin, float min, bool hasMax, float max,
                                             bool saveToCfg) {
    auto& seat = seatOf(*this);
    seat.state->record("CVarManagerWrapper::registerCvar", cvar, defaultValue, desc, searchAble, hasMin, min, hasMax,
                       max, saveToCfg);
    auto* variable = seat.state->registerVariable(seat.owner, std::move(cvar), std::move(defaultValue), std::move(desc),
                                                  searchAble, hasMin, min, hasMax, max, saveToCfg);
    return CVarWrapper(reinterpret_cast<std::uintptr_t>(variable));
}

CVarWrapper CVarManagerWrapper::getCvar(std::string cvar) {
    auto& seat = seatOf(*this);
    seat.state->record("CVarManagerWrapper::getCvar", cvar);
    std::lock_guard lock(seat.state->mutex);
    return CVarWrapper(reinterpret_cast<std::uintptr_t>(seat.state->findVariable(cvar)));
}

void CVarManagerWrapper::executeCommand(std::string command, bool log) {
    auto& seat = seatOf(*this);
    seat.state->record("CVarManagerWrapper::executeCommand", command, log);
    seat.state->execute(command);
}

void CVarManagerWrapper::loadCfg(std::string path) {
    auto& seat = seatOf(*this);
    seat.state->record("CVarManagerWrapper::loadCfg", path);
    seat.state->loadConfig(path);
}

void CVarManagerWrapper::log(std::string text) {
    auto& seat = seatOf(*this);
    seat.state->record("CVarManagerWrapper::log", text);
    {
        std::lock_guard lock(seat.state->mutex);
        ++seat.state->pluginLogLines;
    }
    seat.state->writeLog(std::move(text));
}
