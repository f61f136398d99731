// The --help texts of keyvane-sandbox and its commands, each with examples.
#pragma once

#include <string_view>

namespace sandbox::app {

// topic: "" for the overview, or a command name; unknown topics give the overview.
std::string_view helpText(std::string_view topic);

// 'help' at the console: the session language in short.
std::string_view sessionHelpText();

// 'help' in the live window's terminal: what can be typed there.
std::string_view liveHelpText();

}  // namespace sandbox::app
