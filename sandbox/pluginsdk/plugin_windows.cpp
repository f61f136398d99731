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
        menuName = window->GetMenuName();
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
    return std::any_of(state_->windows.begin(), state_->windows.end(),
                       [&](const WindowSlot& slot) { return slot.menuName == menuName && slot.open; });
}

bool Host::toggleWindow(std::string_view menuName) { return state_->toggleWindow(menuName); }

bool Host::State::toggleWindow(std::string_view menuName) {
    std::lock_guard lock(mutex);
    const bool known =
        std::any_of(windows.begin(), windows.end(), [&](const WindowSlot& slot) { return slot.menuName == menuName; });
    if (known) pendingToggles.emplace_back(menuName);
    return known;
}

void Host::State::applyToggles(std::vector<std::string>& menuNames) {
    windowChanges.clear();
    {
        std::lock_guard lock(mutex);
        menuNames.swap(pendingToggles);
        for (const auto& menuName : menuNames) {
            auto slot = std::find_if(windows.begin(), windows.end(),
                                     [&](const WindowSlot& candidate) { return candidate.menuName == menuName; });
            if (slot == windows.end()) continue;  // withdrawn meanwhile
            slot->open = !slot->open;
            windowChanges.emplace_back(slot->window, slot->open);
        }
        menuNames.clear();
    }
    for (const auto& [window, nowOpen] : windowChanges) {
        if (nowOpen) {
            window->OnOpen();
        } else {
            window->OnClose();
        }
    }
}

void Host::drawWindows() {
    auto& state = *state_;
    PluginCallScope scope(state);
    state.applyToggles(state.togglesToApply);
    {
        std::lock_guard lock(state.mutex);
        state.windowsToDraw.clear();
        for (const auto& slot : state.windows) {
            if (slot.open) state.windowsToDraw.push_back(slot.window);
        }
    }
    for (auto* window : state.windowsToDraw) window->Render();
    // What a window asked for while it drew takes effect before this frame's caller goes on.
    state.applyToggles(state.togglesToApply);
}

}  // namespace sandbox
