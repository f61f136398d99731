// The default home under the XDG base directories: $XDG_STATE_HOME/keyvane-sandbox, or
// ~/.local/state/keyvane-sandbox. Settings and window places are state, not configuration a user edits.
#include <cstdlib>

#include "sandbox/commandline/user_home.h"

namespace sandbox::app {

std::filesystem::path defaultHomeFrom(const char* xdgStateHome, const char* home, std::string& error) {
    // The base directory rules ignore a relative value: it would depend on where the program runs.
    if (xdgStateHome && std::filesystem::path(xdgStateHome).is_absolute()) {
        return std::filesystem::path(xdgStateHome) / kHomeFolderName;
    }
    if (home && std::filesystem::path(home).is_absolute()) {
        return std::filesystem::path(home) / ".local" / "state" / kHomeFolderName;
    }
    error = "no folder for the session: neither XDG_STATE_HOME nor HOME names an absolute folder "
            "(give one with --home DIR)";
    return {};
}

const char* userStateVariable() { return "XDG_STATE_HOME"; }

std::filesystem::path defaultHome(std::string& error) {
    return defaultHomeFrom(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"), error);
}

}  // namespace sandbox::app
