// The game as a plugin sees it: state, keys, timers and game-event hooks. One per plugin.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <typeindex>

#include "bakkesmod/plugin/bakkesmodsdk.h"
#include "bakkesmod/wrappers/GameEvent/ServerWrapper.h"

class BAKKESMOD_PLUGIN_IMPORT GameWrapper {
public:
    GameWrapper(std::uintptr_t mem, long pluginType, std::type_index idx);
    GameWrapper(const GameWrapper& other);
    GameWrapper& operator=(GameWrapper rhs);
    ~GameWrapper();

    bool IsInGame();  // a local match, or custom training
    bool IsInOnlineGame();
    bool IsInCustomTraining();

    ServerWrapper GetOnlineGame();         // the online match, or null
    ServerWrapper GetGameEventAsServer();  // the local match, or null

    // Calls the function once, on the game thread, when the game clock has passed time seconds.
    void SetTimeout(std::function<void(GameWrapper*)> theLambda, float time);
    int GetFNameIndexByString(std::string name);  // 0 for a name the game does not know
    // Calls the callback every time the named game event fires.
    void HookEvent(std::string eventName, std::function<void(std::string eventName)> callback);
    bool IsKeyPressed(int keyName);  // by name index

public:
    struct Impl;
    std::unique_ptr<Impl> pimpl;
};
