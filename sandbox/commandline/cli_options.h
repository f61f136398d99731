// The command line of keyvane-sandbox: which command, and its options, checked before anything runs.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "sandbox/session/number_text.h"

namespace sandbox::commandline {

enum class Command { Help, Version, Keys, Run, Render, Console, Live };

struct CliOptions {
    Command command = Command::Help;
    std::string helpTopic;                        // for Help: "", "run", "render", "console", "live"
    std::filesystem::path script;                 // run
    std::filesystem::path home;                   // empty: the user's default home (user_home.h)
    std::optional<std::filesystem::path> module;  // none: Keyvane.so next to the program
    session::ScreenSize screen;
    double rate = 60.0;
    bool trace = false;                       // run, console, live: print every SDK call the plugin makes
    std::filesystem::path out;                // render
    std::optional<std::string> scale;         // render: console value text, as typed
    std::optional<std::string> transparency;  // render
    std::vector<std::string> hold;            // render: game key names
    bool window = false;                      // render: only the overlay window's rectangle
    int zoom = 1;                             // render: each pixel repeated this many times
};

struct CliParse {
    CliOptions options;
    std::string error;  // one line; empty when the command line is usable
};

CliParse parseCommandLine(const std::vector<std::string>& arguments);  // without the program name

}  // namespace sandbox::commandline
