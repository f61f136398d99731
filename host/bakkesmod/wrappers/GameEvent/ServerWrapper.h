// A handle to the current match, or the null handle outside one.
#pragma once

#include "bakkesmod/wrappers/GameEvent/TeamGameEventWrapper.h"
#include "bakkesmod/wrappers/wrapperstructs.h"

class BAKKESMOD_PLUGIN_IMPORT ServerWrapper : public TeamGameEventWrapper {
public:
    CONSTRUCTORS(ServerWrapper)

    unsigned long GetbMatchEnded();  // non-zero once the match has ended

private:
    PIMPL
};
