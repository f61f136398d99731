// The module-wide handles besides the plugin object's own: defined with the exported record in
// PluginExports.cpp, so that their order of destruction at module unload is fixed in one place.
#pragma once

#include <memory>

#include "bakkesmod/wrappers/cvarmanagerwrapper.h"

// A copy of the plugin's console handle taken at load; keeps the host's console referenced until
// the module itself goes, released before the plugin object.
extern std::shared_ptr<CVarManagerWrapper> sharedCvarManager;
