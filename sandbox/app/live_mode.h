// keyvane-sandbox live: the plugin in a real window, driven by the user's own keys and mouse.
//
// The game thread ticks the host at the session's rate, the render thread draws, and the main
// thread reads the window's input, as the game splits its work.
#pragma once

#include <iosfwd>

#include "session.h"

namespace sandbox::app {

// Runs until the window is closed. Returns an exit status (kExitOk, kExitSetup, kExitBadInput).
int runLive(const SessionOptions& options, std::ostream& out, std::ostream& err);

}  // namespace sandbox::app
