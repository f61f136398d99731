// The root of the game-object wrappers: the object's address, 0 for none.
#pragma once

#include <cstdint>

#include "bakkesmod/plugin/bakkesmodsdk.h"

class BAKKESMOD_PLUGIN_IMPORT ObjectWrapper {
public:
    std::uintptr_t memory_address;
    ObjectWrapper(std::uintptr_t mem);
};
