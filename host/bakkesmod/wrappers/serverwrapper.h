// A handle to the current match, or the null handle outside one.
#pragma once

#include <cstdint>

#include "bakkesmod/hostapi.h"
#include "bakkesmod/wrappers/actorwrapper.h"

class BAKKESMOD_API ServerWrapper : public ActorWrapper {
public:
    explicit ServerWrapper(std::uintptr_t mem);

    std::uint32_t GetbMatchEnded();  // non-zero once the match has ended
};
