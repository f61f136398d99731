// A game event (a match of any kind), between the actor and the team game event.
#pragma once

#include "bakkesmod/wrappers/Engine/ActorWrapper.h"
#include "bakkesmod/wrappers/wrapperstructs.h"

class BAKKESMOD_PLUGIN_IMPORT GameEventWrapper : public ActorWrapper {
public:
    CONSTRUCTORS(GameEventWrapper)

private:
    PIMPL
};
