// A plugin module whose record claims interface version 94: a well-formed library the host must
// refuse by its record alone, before it calls anything in it.
#include <cstdint>

#include "bakkesmod/plugin/bakkesmodplugin.h"

namespace {

std::uintptr_t neverCalledFactory() { return 0; }
void neverCalledRelease() {}

}  // namespace

extern "C" BAKKESMOD_PLUGIN_EXPORT const BakkesMod::Plugin::PluginInfo exports{
    94, __FILE__, "Outdated", "Outdated Plugin", "0.9", 1, &neverCalledFactory, &neverCalledRelease};
