// Plugin windows: the registry by menu name, the open/close toggle, and the per-frame drawing pass.
#include <algorithm>

#include "bakkesmod/plugin/pluginwindow.h"
#include "host_state.h"

namespace sandbox {

void Host::addWindow(OwnerId owner, BakkesMod::Plugin::PluginWindow* window) {
    if (!window) return;
    std::string menuName;
    {
        PluginCallScope scope(*state_);
        menuName = window->menuName();
    }
    std::lock_guard lock(state_->mutex);
    state_->windows.push_back({owner, window, std::move(menuName), false});
}

bool Host::hasMenu(std::string_view menuName) const {
    std::lock_guard lock(state_->mutex);
    return std::any_of(state_->windows.begin(), state_->windows.end(),
                       [&](const WindowSlot& slot) { return slot.menuName == menuName; });
}

bool Host::isWindowOpen(std::string_view menuName) const {
    std::lock_guard lock(state_->mutex);
    return std::any_of(state_->windows.begin(), state_->windows.end(), [&](const WindowSlot& slot) {
        return slot.menuName == menuName && slot.open;
    });
}

bool Host::toggleWindow(std::string_view menuName) { return state_->toggleWindow(menuName); }

bool Host::State::toggleWindow(std::string_view menuName) {
    BakkesMod::Plugin::PluginWindow* window = nullptr;
    bool nowOpen = false;
    {
        std::lock_guard lock(mutex);
        auto slot = std::find_if(windows.begin(), windows.end(),
                                 [&](const WindowSlot& candidate) { return candidate.menuName == menuName; });
        if (slot == windows.end()) return false;
        if (drawing) {
            pendingToggles.emplace_back(menuName);
            return true;
        }
        slot->open = !slot->open;
        window = slot->window;
        nowOpen = slot->open;
    }
    PluginCallScope scope(*this);
    if (nowOpen) {
        window->windowOpened();
    } else {
        window->windowClosed();
    }
    return true;
}

void Host::drawWindows() {
    auto& state = *state_;
    std::vector<BakkesMod::Plugin::PluginWindow*> open;
    {
        std::lock_guard lock(state.mutex);
        state.drawing = true;
        open = state.drawingWindows.take();
        for (const auto& slot : state.windows) {
            if (slot.open) open.push_back(slot.window);
        }
    }
    {
        PluginCallScope scope(state);
        for (auto* window : open) window->drawOverlay();
    }
    std::vector<std::string> toggles;
    open.clear();
    {
        std::lock_guard lock(state.mutex);
        state.drawing = false;
        toggles.swap(state.pendingToggles);
        state.drawingWindows.giveBack(std::move(open));
    }
    for (const auto& menuName : toggles) state.toggleWindow(menuName);
}

}  // namespace sandbox
