// What the host reads from the module: the plugin record "exports", the factory getPlugin and the
// release deleteMe, and the module-wide handles that own the one Keyvane object.
#include <memory>

#include "bakkesmod/hostapi.h"
#include "bakkesmod/plugin/bakkesmodplugin.h"
#include "plugin/Keyvane.h"
#include "plugin/ModuleHandles.h"

using BakkesMod::Plugin::PluginHandle;
using BakkesMod::Plugin::PluginInfo;

// Module-wide objects die in reverse order of definition: sharedCvarManager must go first, so it is
// defined after instanceHolder.
static PluginHandle instanceHolder;
std::shared_ptr<CVarManagerWrapper> sharedCvarManager;

BAKKESMOD_PLUGIN_EXPORT PluginHandle* getPlugin() {
    if (!instanceHolder) {
        instanceHolder = std::shared_ptr<Keyvane>(new Keyvane());
    }
    return &instanceHolder;
}

BAKKESMOD_PLUGIN_EXPORT void deleteMe() { instanceHolder.reset(); }

// The host reads this as raw memory before it calls anything; constexpr keeps it in the module's
// initialized data with no code run at load.
BAKKESMOD_PLUGIN_EXPORT constexpr PluginInfo exports{
    BakkesMod::Plugin::kInterfaceVersion,
    __FILE__,
    "Keyvane",
    "Keyvane Input Display",
    KEYVANE_VERSION,  // the project's version, from the build
    BakkesMod::Plugin::kPluginKindStandard,
    &getPlugin,
    &deleteMe,
};
