// The 28 keys the plugin watches, with the labels their caps show. The table build inserts them in
// this order, and the overlay draws them in the same order, so one list serves both.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

struct WatchedKey {
    std::string_view name;   // the game's key name; also the name of its binding variable
    std::string_view label;  // text of a plain cap; special caps and mouse buttons draw their own
};

inline constexpr std::array<WatchedKey, 28> kWatchedKeys{{
    {"One", "1"},
    {"Two", "2"},
    {"Three", "3"},
    {"Four", "4"},
    {"Five", "5"},
    {"Tab", "Tab"},
    {"A", "A"},
    {"Z", "Z"},
    {"E", "E"},
    {"R", "R"},
    {"T", "T"},
    {"CapsLock", "Caps"},
    {"Q", "Q"},
    {"S", "S"},
    {"D", "D"},
    {"F", "F"},
    {"G", "G"},
    {"LeftShift", "Shift"},
    {"W", "W"},
    {"X", "X"},
    {"C", "C"},
    {"V", "V"},
    {"LeftControl", "Ctrl"},
    {"LeftAlt", "Alt"},
    {"SpaceBar", "Space"},
    {"LeftMouseButton", ""},
    {"MiddleMouseButton", ""},
    {"RightMouseButton", ""},
}};

inline constexpr std::size_t kWatchedKeyCount = kWatchedKeys.size();

// Positions in kWatchedKeys of the keys the drawing starts a row or a special cap from.
enum WatchedKeyIndex : std::size_t {
    kKeyOne = 0,
    kKeyTab = 5,
    kKeyA = 6,
    kKeyCapsLock = 11,
    kKeyQ = 12,
    kKeyLeftShift = 17,
    kKeyW = 18,
    kKeyLeftControl = 22,
    kKeyLeftAlt = 23,
    kKeySpaceBar = 24,
    kKeyLeftMouseButton = 25,
    kKeyMiddleMouseButton = 26,
    kKeyRightMouseButton = 27,
};

static_assert(kWatchedKeys[kKeyOne].name == "One");
static_assert(kWatchedKeys[kKeyTab].name == "Tab");
static_assert(kWatchedKeys[kKeyA].name == "A");
static_assert(kWatchedKeys[kKeyCapsLock].name == "CapsLock");
static_assert(kWatchedKeys[kKeyQ].name == "Q");
static_assert(kWatchedKeys[kKeyLeftShift].name == "LeftShift");
static_assert(kWatchedKeys[kKeyW].name == "W");
static_assert(kWatchedKeys[kKeyLeftControl].name == "LeftControl");
static_assert(kWatchedKeys[kKeyLeftAlt].name == "LeftAlt");
static_assert(kWatchedKeys[kKeySpaceBar].name == "SpaceBar");
static_assert(kWatchedKeys[kKeyLeftMouseButton].name == "LeftMouseButton");
static_assert(kWatchedKeys[kKeyMiddleMouseButton].name == "MiddleMouseButton");
static_assert(kWatchedKeys[kKeyRightMouseButton].name == "RightMouseButton");
