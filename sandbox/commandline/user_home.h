// Where keyvane-sandbox keeps a session's home when no --home is given: one folder per user, outside
// any working tree, so that settings and window places never land in a source checkout.
//
// The folder is found from the environment by the platform's own rules (user_home_xdg.cpp on Linux).
#pragma once

#include <filesystem>
#include <string>

namespace sandbox::app {

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

}  // namespace sandbox::app
