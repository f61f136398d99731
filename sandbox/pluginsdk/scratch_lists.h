// Reusable lists for the snapshots the host takes under its lock before it calls into plugins: a
// steady run of ticks or frames takes back the list of the previous one instead of allocating anew.
#pragma once

#include <utility>
#include <vector>

namespace sandbox {

// Guarded by the host's lock: take and giveBack are called with it held. A caller keeps the list it
// took until it gives it back, so nested and concurrent callers each fill their own.
template <typename Item>
class ScratchLists {
public:
    std::vector<Item> take() {
        if (spare_.empty()) return {};
        std::vector<Item> list = std::move(spare_.back());
        spare_.pop_back();
        return list;
    }

    // The caller empties the list first, outside the lock, since its items may hold plugin code.
    void giveBack(std::vector<Item>&& list) noexcept {
        try {
            spare_.push_back(std::move(list));
        } catch (...) {
            // No room to keep it: the list goes, and a later caller allocates a new one.
        }
    }

private:
    std::vector<std::vector<Item>> spare_;
};

}  // namespace sandbox
