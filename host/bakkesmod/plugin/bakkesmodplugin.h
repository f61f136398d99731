// The plugin base class, the record a plugin module exports for the host to read, and the macro
// that defines a module's record, factory and release.
// The host fills the two handles, then calls onLoad; onUnload before it lets the plugin go.
#pragma once

#include <cstdint>
#include <memory>

#include "bakkesmod/plugin/bakkesmodsdk.h"
#include "bakkesmod/wrappers/GameWrapper.h"
#include "bakkesmod/wrappers/cvarmanagerwrapper.h"

namespace BakkesMod::Plugin {

class BakkesModPlugin;
typedef uintptr_t (*GetPluginFunc)();  // the address of the module's shared handle to the plugin
typedef void (*deleteFunc)();          // drops the module's reference

// Exported by every plugin module under the plain name "exports". The host reads it as raw memory:
// 64 bytes, 8-byte slots, NUL-terminated texts.
struct PluginInfo {
    short apiBuildVersion;  // BAKKESMOD_PLUGIN_API_VERSION; the host refuses another
    const char* fileName;   // the defining source file, as recorded at build time
    const char* className;
    const char* pluginName;
    const char* pluginVersion;
    const unsigned long pluginType;  // a PLUGINTYPE
    GetPluginFunc initializeFunc;    // creates the plugin once; same address every call
    deleteFunc delFunc;
};

#define BAKKESMOD_STANDARD_PLUGIN_STUFF BAKKESMOD_PLUGIN_API_VERSION, __FILE__

// The module-wide holder is a handle to the base class, the type the host reads it as; it owns the
// plugin through a handle made for the concrete class, so the plugin needs no virtual destructor.
#define BAKKESMOD_PLUGIN(classType, pluginName, pluginVersion, pluginType)                                             \
  static std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin> singleton;                                                \
  extern "C" {                                                                                                         \
  BAKKESMOD_PLUGIN_EXPORT uintptr_t getPlugin() {                                                                      \
    if (!singleton) {                                                                                                  \
      singleton = std::shared_ptr<classType>(new classType());                                                         \
    }                                                                                                                  \
    return reinterpret_cast<std::uintptr_t>(&singleton);                                                               \
  }                                                                                                                    \
  BAKKESMOD_PLUGIN_EXPORT void deleteMe() {                                                                            \
    if (singleton) singleton = nullptr;                                                                                \
  }                                                                                                                    \
  BAKKESMOD_PLUGIN_EXPORT BakkesMod::Plugin::PluginInfo exports = {                                                    \
      BAKKESMOD_STANDARD_PLUGIN_STUFF, #classType, pluginName, pluginVersion, pluginType, getPlugin, deleteMe};        \
  }

// Exported by each plugin module (the host keeps none of its own): every member is the plain
// member-wise default over the two handles.
class BAKKESMOD_PLUGIN_EXPORT BakkesModPlugin {
public:
    std::shared_ptr<CVarManagerWrapper> cvarManager;  // console variables and commands
    std::shared_ptr<GameWrapper> gameWrapper;         // game state, keys, timers and event hooks
    virtual void onLoad() {}

    // The host withdraws the variables, hooks and timers the plugin registered after this returns.
    virtual void onUnload() {}
};

}  // namespace BakkesMod::Plugin
