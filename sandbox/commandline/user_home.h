// Where keyvane-sandbox keeps a session's home when no --home is given: one folder per user, outside
// any working tree, so that settings and window places never land in a source checkout.
//
// The folder is found from the environment by the platform's own rules (user_home_xdg.cpp on Linux),
// and a home is only used when no other user can change what is kept in it.
#pragma once

#include <filesystem>
#include <string>

namespace sandbox::commandline {

// The folder name under the user's state directory.
inline constexpr const char* kHomeFolderName = "keyvane-sandbox";

// The environment variable that names the user's state folder on this platform; the default home
// is the folder kHomeFolderName in it.
const char* userStateVariable();

// The default home from the process environment; empty and a one-line reason in error if the
// environment names no user folder at all.
std::filesystem::path defaultHome(std::string& error);

// The same from explicit values (null when unset), so the rules can be checked without touching
// the environment. XDG: an absolute XDG_STATE_HOME wins; otherwise HOME/.local/state.
std::filesystem::path defaultHomeFrom(const char* xdgStateHome, const char* home, std::string& error);

// Makes home, and bakkesmod/cfg in it, where missing (folders it makes are the user's alone), and
// checks that no other user can replace the files kept there: each of the three folders must belong
// to this user and be writable by no one else, unless its sticky bit keeps others' hands off the
// user's files. "" if so (or if a folder cannot be reached: entering the home tells why), else why
// not in a few words. On Windows, where folders are guarded by access lists, nothing is checked.
std::string foreignHome(const std::filesystem::path& home);

}  // namespace sandbox::commandline
