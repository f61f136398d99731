// The live window's key table, from GLFW codes to the game's key names.
#include "sandbox/live/key_mapping.h"

#include <array>
#include <utility>

#include <GLFW/glfw3.h>

namespace sandbox::live {
namespace {

// Keys named by position whatever the layout prints on them.
constexpr std::array<std::pair<int, const char*>, 38> kPositionalKeys{{
    {GLFW_KEY_0, "Zero"},
    {GLFW_KEY_1, "One"},
    {GLFW_KEY_2, "Two"},
    {GLFW_KEY_3, "Three"},
    {GLFW_KEY_4, "Four"},
    {GLFW_KEY_5, "Five"},
    {GLFW_KEY_6, "Six"},
    {GLFW_KEY_7, "Seven"},
    {GLFW_KEY_8, "Eight"},
    {GLFW_KEY_9, "Nine"},
    {GLFW_KEY_TAB, "Tab"},
    {GLFW_KEY_CAPS_LOCK, "CapsLock"},
    {GLFW_KEY_LEFT_SHIFT, "LeftShift"},
    {GLFW_KEY_RIGHT_SHIFT, "RightShift"},
    {GLFW_KEY_LEFT_CONTROL, "LeftControl"},
    {GLFW_KEY_RIGHT_CONTROL, "RightControl"},
    {GLFW_KEY_LEFT_ALT, "LeftAlt"},
    {GLFW_KEY_RIGHT_ALT, "RightAlt"},
    {GLFW_KEY_SPACE, "SpaceBar"},
    {GLFW_KEY_ENTER, "Enter"},
    {GLFW_KEY_ESCAPE, "Escape"},
    {GLFW_KEY_BACKSPACE, "BackSpace"},
    {GLFW_KEY_UP, "Up"},
    {GLFW_KEY_DOWN, "Down"},
    {GLFW_KEY_LEFT, "Left"},
    {GLFW_KEY_RIGHT, "Right"},
    {GLFW_KEY_F1, "F1"},
    {GLFW_KEY_F2, "F2"},
    {GLFW_KEY_F3, "F3"},
    {GLFW_KEY_F4, "F4"},
    {GLFW_KEY_F5, "F5"},
    {GLFW_KEY_F6, "F6"},
    {GLFW_KEY_F7, "F7"},
    {GLFW_KEY_F8, "F8"},
    {GLFW_KEY_F9, "F9"},
    {GLFW_KEY_F10, "F10"},
    {GLFW_KEY_F11, "F11"},
    {GLFW_KEY_F12, "F12"},
}};

}  // namespace

std::string gameKeyName(int glfwKey, const char* layoutCharacter) {
    for (const auto& [key, name] : kPositionalKeys) {
        if (key == glfwKey) return name;
    }
    // Letters follow the layout: the character printed on the key, wherever the key sits.
    if (layoutCharacter && layoutCharacter[0] != '\0' && layoutCharacter[1] == '\0') {
        const char c = layoutCharacter[0];
        if (c >= 'a' && c <= 'z') return std::string(1, static_cast<char>(c - 'a' + 'A'));
        if (c >= 'A' && c <= 'Z') return std::string(1, c);
        return "";  // a punctuation key of this layout: the game names none of them here
    }
    // Without layout information the US positions are the best guess.
    if (glfwKey >= GLFW_KEY_A && glfwKey <= GLFW_KEY_Z) {
        return std::string(1, static_cast<char>('A' + (glfwKey - GLFW_KEY_A)));
    }
    return "";
}

std::string gameMouseButtonName(int glfwButton) {
    switch (glfwButton) {
    case GLFW_MOUSE_BUTTON_LEFT: return "LeftMouseButton";
    case GLFW_MOUSE_BUTTON_RIGHT: return "RightMouseButton";
    case GLFW_MOUSE_BUTTON_MIDDLE: return "MiddleMouseButton";
    case GLFW_MOUSE_BUTTON_4: return "ThumbMouseButton";
    case GLFW_MOUSE_BUTTON_5: return "ThumbMouseButton2";
    default: return "";
    }
}

}  // namespace sandbox::live
