// A console variable handle: a value, copied and dropped freely; valid while the variable exists.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "bakkesmod/hostapi.h"

class BAKKESMOD_API CVarWrapper {
public:
    explicit CVarWrapper(std::uintptr_t mem);

    std::string getStringValue();
    float getFloatValue();             // the text read as a C-locale float; 0 if it is no number
    void setValue(std::string value);  // runs the change functions after the change
    void notify();                     // runs the change functions at once
    // Called with the previous value text and this variable after each change and at notify.
    void addOnValueChanged(std::function<void(std::string, CVarWrapper)> changedFunc);

    bool IsNull() const;
    std::uintptr_t memory_address;
};
