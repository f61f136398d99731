// The console: variables, commands and configuration files. One per plugin, shared with the host.
#pragma once

#include <cstdint>
#include <string>

#include "bakkesmod/hostapi.h"
#include "bakkesmod/wrappers/cvarwrapper.h"

class BAKKESMOD_API CVarManagerWrapper {
public:
    explicit CVarManagerWrapper(std::uintptr_t mem);

    // Registering a name that exists returns the existing variable unchanged.
    CVarWrapper registerCvar(std::string cvar, std::string defaultValue, std::string desc = "", bool searchAble = true,
                             bool hasMin = false, float min = 0, bool hasMax = false, float max = 0,
                             bool saveToCfg = true);
    CVarWrapper getCvar(std::string cvar);  // null handle for an unknown name
    void executeCommand(std::string command, bool log = true);
    void loadCfg(std::string path);  // runs every line of the file as a command
    void log(std::string text);      // a line in the host's console

    std::uintptr_t memory_address;
};
