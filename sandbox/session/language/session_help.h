// What 'help' shows where lines are typed: the session language in short at the console, and the
// part of it a live window runs (runsLive) in the window's terminal.
#pragma once

#include <string_view>

namespace sandbox::app {

std::string_view sessionHelpText();  // 'help' at the console
std::string_view liveHelpText();     // 'help' in the live window's terminal

}  // namespace sandbox::app
