// A handle to a game object by its address; 0 is the null handle.
#pragma once

#include <cstdint>

#include "bakkesmod/hostapi.h"

class BAKKESMOD_API ActorWrapper {
public:
    explicit ActorWrapper(std::uintptr_t mem);

    bool IsNull() const;
    std::uintptr_t memory_address;
};
