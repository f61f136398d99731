// The default home on Windows: %LOCALAPPDATA%\keyvane-sandbox, where per-user program state lives.
// A profile's folders are the user's by their access lists, which the sandbox leaves to Windows.
#include <cstdlib>
#include <system_error>

#include "sandbox/commandline/user_home.h"

namespace sandbox::commandline {

const char* userStateVariable() { return "LOCALAPPDATA"; }

std::filesystem::path defaultHome(std::string& error) {
    const char* folder = std::getenv(userStateVariable());
    if (folder && std::filesystem::path(folder).is_absolute()) return std::filesystem::path(folder) / kHomeFolderName;
    error = "no folder for the session: LOCALAPPDATA names no absolute folder (give one with --home DIR)";
    return {};
}

std::string foreignHome(const std::filesystem::path& home) {
    std::error_code ignored;
    std::filesystem::create_directories(home / "bakkesmod" / "cfg", ignored);
    return "";
}

}  // namespace sandbox::commandline
