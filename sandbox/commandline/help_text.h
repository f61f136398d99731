// The --help texts of keyvane-sandbox and its commands, each with examples.
#pragma once

#include <string>
#include <string_view>

namespace sandbox::app {

// topic: "" for the overview, or a command name; unknown topics give the overview.
std::string helpText(std::string_view topic);

}  // namespace sandbox::app
