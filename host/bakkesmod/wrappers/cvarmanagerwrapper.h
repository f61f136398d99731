// The console: variables, commands and configuration files. One per plugin, shared with the host.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <typeindex>

#include "bakkesmod/plugin/bakkesmodsdk.h"
#include "bakkesmod/wrappers/cvarwrapper.h"

class BAKKESMOD_PLUGIN_IMPORT CVarManagerWrapper {
public:
    CVarManagerWrapper(std::uintptr_t mem, std::type_index pluginIdx);
    CVarManagerWrapper(const CVarManagerWrapper& other);
    CVarManagerWrapper& operator=(CVarManagerWrapper rhs);
    ~CVarManagerWrapper();

    void executeCommand(std::string command, bool log = true);
    // Registering a name that exists returns the existing variable unchanged.
    CVarWrapper registerCvar(std::string cvar, std::string defaultValue, std::string desc = "", bool searchAble = true,
                             bool hasMin = false, float min = 0, bool hasMax = false, float max = 0,
                             bool saveToCfg = true);
    void log(std::string text);             // a line in the host's console
    CVarWrapper getCvar(std::string cvar);  // null handle for an unknown name
    void loadCfg(std::string path);         // runs every line of the file as a command

private:
    PIMPL
};
