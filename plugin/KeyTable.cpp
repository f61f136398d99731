// The table of watched keys and the per-key binding variables that resolve each key to the game's
// name index. The drawing reads the table through the entries resolved here at load.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

#include "plugin/Keyvane.h"

void Keyvane::buildKeyTable() {
    for (const WatchedKey& key : kWatchedKeys) {
        keyTable[std::string(key.name)] = KeyState(std::string(key.label));
    }
    for (std::size_t i = 0; i < kWatchedKeyCount; ++i) {
        drawnKeys[i] = &keyTable.at(std::string(kWatchedKeys[i].name));
    }
    keyTableBuilt = true;
}

void Keyvane::registerBindings() {
    for (const auto& entry : keyTable) {
        const std::string& key = entry.first;
        cvarManager->registerCvar(key, key, "", true, false, 0.0f, false, 0.0f, true)
            .addOnValueChanged([this](std::string previousValue, CVarWrapper binding) {
                bindingChanged(std::move(previousValue), binding);
            });
        // Notifying at once resolves the entry: the variable still holds its own name.
        cvarManager->getCvar(key).notify();
    }
}

// The index goes to the entry named by the value, not by the variable: setting "A" to "Q" updates
// "Q" and leaves "A" following its own key. A value naming no entry adds one, which is polled but
// never drawn; only for a name the game resolves, so the table stays bounded by the game's key
// names (an unresolved entry would never be polled nor drawn).
void Keyvane::bindingChanged(std::string, CVarWrapper binding) {
    const std::int32_t index = gameWrapper->GetFNameIndexByString(binding.getStringValue());
    const std::string value = binding.getStringValue();
    if (const auto entry = keyTable.find(value); entry != keyTable.end()) {
        entry->second.nameIndex = index;
    } else if (index > 0) {
        keyTable.emplace(value, KeyState()).first->second.nameIndex = index;
    }
}

// The drawing's view of the table, checked once per frame. Before the table is built there is
// nothing to draw from; fail as the map's own look-up of a missing key would.
void Keyvane::requireDrawnKeys() const {
    if (!keyTableBuilt) {
        throw std::out_of_range("invalid map<K, T> key");
    }
}

Keyvane::CapRow Keyvane::drawnRow(std::size_t first, std::size_t count) const {
    return CapRow(drawnKeys).subspan(first, count);
}
