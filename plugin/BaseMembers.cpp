// The host's plugin base class, carried by the module as the host expects of every plugin: a
// compiler that exports a class defines all of its members in the exporting module, but GCC
// defines only those some code uses. This file uses each one and is compiled without optimisation
// (plugin/CMakeLists.txt), so that none is folded into its caller and every one is defined.
#include <new>
#include <utility>

#include "bakkesmod/plugin/bakkesmodplugin.h"

namespace keyvane {

void useEveryPluginBaseMember();

void useEveryPluginBaseMember() {
    using BakkesMod::Plugin::BakkesModPlugin;
    // Built in place: a plain local would be initialised without calling the constructor.
    alignas(BakkesModPlugin) unsigned char storage[sizeof(BakkesModPlugin)];
    BakkesModPlugin& made = *::new (static_cast<void*>(storage)) BakkesModPlugin;
    BakkesModPlugin copied(made);
    BakkesModPlugin moved(std::move(copied));
    made = moved;
    moved = std::move(made);
    moved.BakkesModPlugin::onLoad();
    moved.BakkesModPlugin::onUnload();
    // Qualified: the class has no virtual destructor, and this call means the base's own.
    made.BakkesModPlugin::~BakkesModPlugin();
}

}  // namespace keyvane
