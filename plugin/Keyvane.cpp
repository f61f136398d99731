// Load and unload: the order in which the plugin sets itself up in the host, and what it leaves
// behind. The steps themselves live with the key table, the settings and the overlay.
#include "plugin/Keyvane.h"

#include <string>
#include <utility>

#include "plugin/ModuleHandles.h"

void Keyvane::onLoad() {
    sharedCvarManager = cvarManager;
    buildKeyTable();
    registerSettings();
    // Bindings come after the settings and before the file, so the file's replay finds every
    // variable registered with its handler.
    registerBindings();
    loadSavedSettings();
    gameWrapper->SetTimeout([this](GameWrapper*) { openWindowLater(); }, kWindowOpenDelay);
    // Hooked last: the first tick must find every key's name index resolved.
    gameWrapper->HookEvent("Function Engine.GameViewportClient.Tick",
                           [this](std::string eventName) { onViewportTick(std::move(eventName)); });
}

// Withdraws nothing: the host stops calling the plugin's callbacks before it lets the object go.
void Keyvane::onUnload() { saveSettings(); }
