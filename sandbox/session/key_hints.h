// Helping a user find the game's key names: the closest names to one the host does not know, and the
// listing of every name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sandbox::app {

// At most three game key names close to `name`, best first. What a keyboard prints on a key
// ("Shift", "Ctrl") or a digit gives its one key; otherwise the names of the closest kind: that start with it, that
// have it as a word, that contain it, that it abbreviates ("LMB"), or a typo or two away. Empty when nothing is close.
std::vector<std::string> closestKeyNames(std::string_view name);

// "unknown key name 'Shift' (did you mean LeftShift?)", or a pointer to the listing when no name is close.
std::string unknownKeyMessage(std::string_view name);

// Every game key name the host knows, one a line, with what the keyboard prints where it differs.
std::string keyListing();

}  // namespace sandbox::app
