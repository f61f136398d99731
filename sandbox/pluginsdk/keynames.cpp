// The game's key names: the name table that resolves them to name indices, which keys are held, and
// which a plugin has polled.
#include <algorithm>
#include <utility>

#include "host_state.h"

namespace sandbox {

namespace {

// Name indices of the game are arbitrary positive numbers; these start well above 0 so that a
// plugin that mixes up "unresolved" (0) and "first key" shows it.
constexpr int kFirstKeyIndex = 1000;

std::vector<std::string> buildKeyNames() {
    std::vector<std::string> names;
    for (char letter = 'A'; letter <= 'Z'; ++letter) names.emplace_back(1, letter);
    for (const char* digit : {"One", "Two", "Three", "Four", "Five", "Six", "Seven", "Eight", "Nine", "Zero"}) {
        names.emplace_back(digit);
    }
    // Spelled out: GCC 12 at -O3 takes "F" + std::to_string(f) for an overlapping copy (-Wrestrict).
    for (const char* function : {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12"}) {
        names.emplace_back(function);
    }
    for (const char* name : {"Escape",
                             "Tab",
                             "Tilde",
                             "CapsLock",
                             "LeftShift",
                             "RightShift",
                             "LeftControl",
                             "RightControl",
                             "LeftAlt",
                             "RightAlt",
                             "SpaceBar",
                             "Enter",
                             "BackSpace",
                             "Insert",
                             "Delete",
                             "Home",
                             "End",
                             "PageUp",
                             "PageDown",
                             "Up",
                             "Down",
                             "Left",
                             "Right",
                             "Underscore",
                             "Equals",
                             "Comma",
                             "Period",
                             "Slash",
                             "Semicolon",
                             "Quote",
                             "LeftBracket",
                             "RightBracket",
                             "Backslash",
                             "NumPadZero",
                             "NumPadOne",
                             "NumPadTwo",
                             "NumPadThree",
                             "NumPadFour",
                             "NumPadFive",
                             "NumPadSix",
                             "NumPadSeven",
                             "NumPadEight",
                             "NumPadNine",
                             "LeftMouseButton",
                             "RightMouseButton",
                             "MiddleMouseButton",
                             "ThumbMouseButton",
                             "ThumbMouseButton2",
                             "MouseScrollUp",
                             "MouseScrollDown"}) {
        names.emplace_back(name);
    }
    return names;
}

// Position of a name in the table, or -1.
int positionOf(std::string_view name) {
    const auto& names = Host::keyNames();
    auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? -1 : static_cast<int>(found - names.begin());
}

// Position of a name index in the table, or -1.
int positionOf(int nameIndex) {
    const long long position = static_cast<long long>(nameIndex) - kFirstKeyIndex;
    const auto count = static_cast<long long>(Host::keyNames().size());
    return position >= 0 && position < count ? static_cast<int>(position) : -1;
}

}  // namespace

const std::vector<std::string>& Host::keyNames() {
    static const std::vector<std::string> names = buildKeyNames();
    return names;
}

int Host::keyIndex(std::string_view name) {
    const int position = positionOf(name);
    return position < 0 ? 0 : kFirstKeyIndex + position;
}

bool Host::setKeyHeld(std::string_view name, bool held) {
    const int position = positionOf(name);
    if (position < 0) return false;
    state_->keysHeld[position].store(held, std::memory_order_relaxed);
    return true;
}

bool Host::keyPolled(std::string_view name) const {
    const int position = positionOf(name);
    return position >= 0 && state_->keysPolled[position].load(std::memory_order_relaxed);
}

std::vector<std::string> Host::takeUnknownKeyNames() {
    std::lock_guard lock(state_->mutex);
    return std::exchange(state_->unknownKeyNames, {});
}

}  // namespace sandbox

bool GameWrapper::IsKeyPressed(int keyName) {
    auto& seat = *pimpl->seat;
    seat.state->record("GameWrapper::IsKeyPressed", keyName);
    const int position = sandbox::positionOf(keyName);
    if (position < 0) return false;
    // Written once per key, so that polling on every tick stays a read.
    auto& polled = seat.state->keysPolled[position];
    if (!polled.load(std::memory_order_relaxed)) polled.store(true, std::memory_order_relaxed);
    return seat.state->keysHeld[position].load(std::memory_order_relaxed);
}
