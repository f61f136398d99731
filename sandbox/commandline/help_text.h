// The --help texts of keyvane-sandbox and its commands, each with examples.
#pragma once

#include <string>
#include <string_view>

namespace sandbox::commandline {

// topic: "" for the overview, a command name, a word of the session language or "language";
// unknown topics give the overview.
std::string helpText(std::string_view topic);

bool isHelpTopic(std::string_view topic);
// "no help on 'sesion' (did you mean ...?); the commands are ..." for a topic there is no help on.
std::string helpTopicRefusal(std::string_view topic);

}  // namespace sandbox::commandline
