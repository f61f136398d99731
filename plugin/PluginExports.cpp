// What the host reads from the module: the plugin record "exports", the factory getPlugin and the
// release deleteMe, and the module-wide handles that own the one Keyvane object.
#include <cstddef>
#include <memory>

#include "bakkesmod/plugin/bakkesmodplugin.h"
#include "plugin/Keyvane.h"
#include "plugin/ModuleHandles.h"

// KEYVANE_VERSION is the project's version, from the build.
BAKKESMOD_PLUGIN(Keyvane, "Keyvane Input Display", KEYVANE_VERSION, PLUGINTYPE_FREEPLAY)

// Module-wide objects die in reverse order of definition: sharedCvarManager must go before the
// plugin's holder, so it is defined after the macro's.
std::shared_ptr<CVarManagerWrapper> sharedCvarManager;

// The host reads the record as raw memory. A 64-bit Windows long is 4 bytes and padding follows it;
// elsewhere it is 8 bytes: either way a small value sets the same bytes at offset 40 and the record
// keeps its 64 bytes.
namespace {
using BakkesMod::Plugin::PluginInfo;
static_assert(sizeof(void*) == 8, "plugins are 64-bit modules");
static_assert(sizeof(PluginInfo) == 64);
static_assert(offsetof(PluginInfo, apiBuildVersion) == 0);
static_assert(offsetof(PluginInfo, fileName) == 8);
static_assert(offsetof(PluginInfo, className) == 16);
static_assert(offsetof(PluginInfo, pluginName) == 24);
static_assert(offsetof(PluginInfo, pluginVersion) == 32);
static_assert(offsetof(PluginInfo, pluginType) == 40);
static_assert(offsetof(PluginInfo, initializeFunc) == 48);
static_assert(offsetof(PluginInfo, delFunc) == 56);
}  // namespace
