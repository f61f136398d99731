// A console variable handle: a value, copied and dropped freely; valid while the variable exists.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <typeindex>

#include "bakkesmod/plugin/bakkesmodsdk.h"
#include "bakkesmod/wrappers/wrapperstructs.h"

class BAKKESMOD_PLUGIN_IMPORT CVarWrapper {
public:
    CVarWrapper(std::uintptr_t mem, std::type_index pluginIdx);
    CVarWrapper(const CVarWrapper& other);
    CVarWrapper& operator=(CVarWrapper rhs);
    ~CVarWrapper();

private:
    PIMPL

public:
    float getFloatValue();  // the text read as a C-locale float; 0 if it is no number
    std::string getStringValue();
    void notify();                     // runs the change functions at once
    void setValue(std::string value);  // runs the change functions after the change
    // Called with the previous value text and this variable after each change and at notify.
    void addOnValueChanged(std::function<void(std::string, CVarWrapper)> changeFunc);
    bool IsNull();
};
