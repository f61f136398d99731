// Key polling: on every viewport tick in a match, copy the game's held state of each resolved key
// into its entry, walking the table in map order. The drawing only ever reads these flags.
#include <string>

#include "plugin/Keyvane.h"

void Keyvane::onViewportTick(std::string) {
    GameWrapper& game = *gameWrapper;
    // Custom training is asked first: the game reports it as a local game too.
    if (game.IsInCustomTraining()) {
        return;
    }
    if (!game.IsInGame() && !game.IsInOnlineGame()) {
        return;
    }
    // Entries are only ever added, so an unchanged count means the same entries in the same order.
    if (pollOrder.size() != keyTable.size()) {
        pollOrder.clear();
        for (auto& entry : keyTable) {
            pollOrder.push_back(&entry.second);
        }
    }
    for (KeyState* key : pollOrder) {
        if (key->nameIndex <= 0) {
            continue;
        }
        key->pressed.store(game.IsKeyPressed(key->nameIndex), std::memory_order_relaxed);
    }
}
