// The plugin base class and the record a plugin module exports for the host to read.
// The host fills the two handles, then calls onLoad; onUnload before it lets the plugin go.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "bakkesmod/hostapi.h"
#include "bakkesmod/wrappers/cvarmanagerwrapper.h"
#include "bakkesmod/wrappers/gamewrapper.h"

namespace BakkesMod::Plugin {

// No virtual destructor: the host owns plugins through shared handles made for the concrete class.
class BAKKESMOD_API BakkesModPlugin {
public:
    std::shared_ptr<CVarManagerWrapper> cvarManager;  // console variables and commands
    std::shared_ptr<GameWrapper> gameWrapper;         // game state, keys, timers and event hooks

    virtual void onLoad();    // does nothing
    virtual void onUnload();  // does nothing
};

using PluginHandle = std::shared_ptr<BakkesModPlugin>;
using PluginFactory = PluginHandle* (*)();  // creates the plugin once; same address every call
using PluginRelease = void (*)();           // drops the module's reference

inline constexpr std::int32_t kInterfaceVersion = 95;   // the host refuses a record of another version
inline constexpr std::int32_t kPluginKindStandard = 1;  // the only kind of plugin the host loads

// Exported by every plugin module under the plain name "exports". The host reads it as raw memory,
// so its layout is fixed: 64 bytes, 8-byte slots, NUL-terminated texts.
struct PluginInfo {
    std::int32_t interfaceVersion;
    const char* sourcePath;  // the defining source file, as recorded at build time
    const char* pluginClassName;
    const char* displayName;
    const char* versionString;
    std::int32_t pluginKind;
    PluginFactory factory;
    PluginRelease release;
};

static_assert(sizeof(void*) == 8, "plugins are 64-bit modules");
static_assert(sizeof(PluginInfo) == 64);
static_assert(offsetof(PluginInfo, interfaceVersion) == 0);
static_assert(offsetof(PluginInfo, sourcePath) == 8);
static_assert(offsetof(PluginInfo, pluginClassName) == 16);
static_assert(offsetof(PluginInfo, displayName) == 24);
static_assert(offsetof(PluginInfo, versionString) == 32);
static_assert(offsetof(PluginInfo, pluginKind) == 40);
static_assert(offsetof(PluginInfo, factory) == 48);
static_assert(offsetof(PluginInfo, release) == 56);

}  // namespace BakkesMod::Plugin
