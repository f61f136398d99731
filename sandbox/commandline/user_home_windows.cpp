// The default home on Windows: %LOCALAPPDATA%\keyvane-sandbox, where per-user program state lives.
#include <cstdlib>

#include "sandbox/commandline/user_home.h"

namespace sandbox::app {

const char* userStateVariable() { return "LOCALAPPDATA"; }

std::filesystem::path defaultHome(std::string& error) {
    const char* folder = std::getenv(userStateVariable());
    if (folder && std::filesystem::path(folder).is_absolute()) return std::filesystem::path(folder) / kHomeFolderName;
    error = "no folder for the session: LOCALAPPDATA names no absolute folder (give one with --home DIR)";
    return {};
}

}  // namespace sandbox::app
