// Helping a user who mistyped a name: the closest game key names to one the host does not know, the
// listing of every key name, and the known command closest to an unknown one (console variables,
// host commands and the session's own words).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sandbox::session {

// At most three game key names close to `name`, best first. What a keyboard prints on a key
// ("Shift", "Ctrl") or a digit gives its one key; otherwise the names of the closest kind: that start with it, that
// have it as a word, that contain it, that it abbreviates ("LMB"), or a typo or two away. Empty when nothing is close.
std::vector<std::string> closestKeyNames(std::string_view name);

// "unknown key name 'Shift' (did you mean LeftShift?)", or a pointer to the listing when no name is close.
std::string unknownKeyMessage(std::string_view name);

// How many letters must change, go, come or swap with a neighbour to turn a into b.
std::size_t typingDistance(std::string_view a, std::string_view b);

// Every game key name the host knows, one a line, with what the keyboard prints where it differs;
// a key `polled` says a plugin polls is marked with '*'. No function: nothing is marked.
std::string keyListing(const std::function<bool(const std::string&)>& polled = {});

// The word of `known` (console variables, say) or of the session's own words closest to `typed`, a
// slip or a few away; "" when none is that close.
std::string closestCommand(std::string_view typed, const std::vector<std::string>& known);

// "unknown command: kvanescal (did you mean kvanescale?)", or the message alone without a close word.
std::string withCommandHint(const std::string& message, std::string_view typed, const std::vector<std::string>& known);

}  // namespace sandbox::session
