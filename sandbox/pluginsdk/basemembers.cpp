// The plugin base class's own members. They live here, in the SDK library, so that its virtual
// table and type information are the host's and shared by every plugin module.
#include "bakkesmod/plugin/bakkesmodplugin.h"

namespace BakkesMod::Plugin {

void BakkesModPlugin::onLoad() {}
void BakkesModPlugin::onUnload() {}

}  // namespace BakkesMod::Plugin
