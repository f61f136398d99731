// Reusable lists for the snapshots the host takes under its lock before it calls into plugins: a
// steady run of ticks or frames takes back the list of the previous one instead of allocating anew.
#pragma once

#include <mutex>
#include <utility>
#include <vector>

namespace sandbox {

template <typename Item>
class ScratchLists {
public:
    // An empty list that the caller keeps until the lease ends. Nested and concurrent callers each
    // hold their own, so a plugin that fires an event from inside a hook cannot clobber its caller's.
    class Lease {
    public:
        explicit Lease(ScratchLists& lists) : lists_(lists), list_(lists.take()) {}
        ~Lease() { lists_.giveBack(std::move(list_)); }
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;

        std::vector<Item>& operator*() { return list_; }
        std::vector<Item>* operator->() { return &list_; }

    private:
        ScratchLists& lists_;
        std::vector<Item> list_;
    };

private:
    std::vector<Item> take() {
        std::lock_guard lock(mutex_);
        if (spare_.empty()) return {};
        std::vector<Item> list = std::move(spare_.back());
        spare_.pop_back();
        return list;
    }

    void giveBack(std::vector<Item> list) noexcept {
        list.clear();   // the items go, the capacity stays
        std::lock_guard lock(mutex_);
        try {
            spare_.push_back(std::move(list));
        } catch (...) {
            // Out of memory for the spare list itself: the list is dropped, the next caller allocates.
        }
    }

    std::mutex mutex_;
    std::vector<std::vector<Item>> spare_;
};

}  // namespace sandbox
