// The default home under the XDG base directories: $XDG_STATE_HOME/keyvane-sandbox, or
// ~/.local/state/keyvane-sandbox. Settings and window places are state, not configuration a user edits.
// Whether a home is the user's own is read from the POSIX owner and mode of its folders.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "sandbox/commandline/user_home.h"

namespace sandbox::commandline {

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

namespace {

// Why another user could replace what folder holds, or "". A folder that cannot be read is let
// through: entering the home reports it.
std::string foreignFolder(const std::filesystem::path& folder) {
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return "";
    if (status.st_uid != ::geteuid()) {
        return folder.string() + " belongs to another user (uid " + std::to_string(status.st_uid) + ")";
    }
    // A sticky folder lets others add files but not rename or remove the user's own (/tmp).
    const bool othersWrite =
        (status.st_mode & S_IWOTH) != 0 || ((status.st_mode & S_IWGRP) != 0 && status.st_gid != ::getegid());
    if (othersWrite && (status.st_mode & S_ISVTX) == 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(status.st_mode & 07777));
        return folder.string() + " can be written by other users (mode " + mode + ", no sticky bit)";
    }
    return "";
}

}  // namespace

std::string foreignHome(const std::filesystem::path& home) {
    std::error_code ignored;
    if (home.has_parent_path()) std::filesystem::create_directories(home.parent_path(), ignored);
    // Each folder is checked before anything is made inside it; a failed mkdir is left to entering.
    for (const auto& folder : {home, home / "bakkesmod", home / "bakkesmod" / "cfg"}) {
        ::mkdir(folder.c_str(), 0700);
        if (std::string why = foreignFolder(folder); !why.empty()) {
            return why + ", who could replace the files kept there";
        }
    }
    return "";
}

}  // namespace sandbox::commandline
