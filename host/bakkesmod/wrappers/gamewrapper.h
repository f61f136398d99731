// The game as a plugin sees it: state, keys, timers and game-event hooks. One per plugin.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "bakkesmod/hostapi.h"
#include "bakkesmod/wrappers/serverwrapper.h"

class BAKKESMOD_API GameWrapper {
public:
    explicit GameWrapper(std::uintptr_t mem);

    bool IsInGame();  // a local match, or custom training
    bool IsInOnlineGame();
    bool IsInCustomTraining();
    ServerWrapper GetOnlineGame();         // the online match, or null
    ServerWrapper GetGameEventAsServer();  // the local match, or null

    int GetFNameIndexByString(std::string name);  // 0 for a name the game does not know
    bool IsKeyPressed(int keyName);               // by name index

    // Calls the function once, on the game thread, when the game clock has passed time seconds.
    void SetTimeout(std::function<void(GameWrapper*)> theLambda, float time);
    // Calls the callback every time the named game event fires.
    void HookEvent(std::string eventName, std::function<void(std::string eventName)> callback);

    std::uintptr_t memory_address;
};
