// keyvane-sandbox live: the plugin in a real window, driven by the user's own keys and mouse.
//
// A client of the session, which sets up the host and runs every typed command (or refuses it, see
// runsLive). The window brings what a script does not have: a renderer, a game thread that ticks
// the session at its rate, and the input of the window and the terminal, as the game splits its work.
#pragma once

#include <iosfwd>

#include "sandbox/session/session.h"

namespace sandbox::live {

// Runs until the window is closed. Returns an exit status (kExitOk, kExitSetup, kExitBadInput).
int runLive(const session::SessionOptions& options, std::ostream& out, std::ostream& err);

}  // namespace sandbox::live
