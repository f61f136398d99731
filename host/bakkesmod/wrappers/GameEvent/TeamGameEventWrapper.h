// A game event played by teams, between the game event and the server.
#pragma once

#include "bakkesmod/wrappers/GameEvent/GameEventWrapper.h"
#include "bakkesmod/wrappers/wrapperstructs.h"

class BAKKESMOD_PLUGIN_IMPORT TeamGameEventWrapper : public GameEventWrapper {
public:
    CONSTRUCTORS(TeamGameEventWrapper)

private:
    PIMPL
};
