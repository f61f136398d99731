// Which game key a physical key or mouse button of the live window stands for.
//
// The game (on Windows) names letter keys by the character the keyboard layout puts on them and every
// other key by its position, so on an AZERTY layout the number row is still One..Five and the key
// left of Z is "A".
#pragma once

#include <string>

namespace sandbox::live {

// glfwKey: a GLFW_KEY_* code (a position on a US keyboard). layoutCharacter: what the active layout
// prints on that key (glfwGetKeyName), or null when unknown. Returns the game's key name, or "" for
// a key the game has no name for here.
std::string gameKeyName(int glfwKey, const char* layoutCharacter);

// glfwButton: a GLFW_MOUSE_BUTTON_* number. Returns the game's name, or "".
std::string gameMouseButtonName(int glfwButton);

}  // namespace sandbox::live
