// A game actor; the null handle stands for no actor.
#pragma once

#include "bakkesmod/wrappers/Engine/ObjectWrapper.h"
#include "bakkesmod/wrappers/wrapperstructs.h"

class BAKKESMOD_PLUGIN_IMPORT ActorWrapper : public ObjectWrapper {
public:
    CONSTRUCTORS(ActorWrapper)

    bool IsNull();
    bool IsNull() const;

private:
    PIMPL
};
