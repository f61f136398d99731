// Key polling: on every viewport tick in a match, copy the game's held state of each resolved key
// into its entry. The drawing only ever reads these flags.
#include <string>

#include "plugin/Keyvane.h"

void Keyvane::onViewportTick(std::string) {
    // Custom training is asked first: the game reports it as a local game too.
    if (gameWrapper->IsInCustomTraining()) {
        return;
    }
    if (!gameWrapper->IsInGame() && !gameWrapper->IsInOnlineGame()) {
        return;
    }
    for (auto& entry : keyTable) {
        KeyState& key = entry.second;
        if (key.nameIndex <= 0) {
            continue;
        }
        key.pressed.store(gameWrapper->IsKeyPressed(key.nameIndex), std::memory_order_relaxed);
    }
}
