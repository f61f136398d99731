// Where a session lives on disk: its home folder, which becomes the working directory, the files
// kept there, and the scripts and pictures the user names.
//
// The plugin's ./bakkesmod/cfg/keyvane.cfg and the library's window settings file live in the home.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>

namespace sandbox::session {

// Creates home and home/bakkesmod/cfg when missing (the game's host ships that folder) and makes
// home the working directory. False and a one-line reason in error if it cannot.
bool enterHome(const std::filesystem::path& home, std::string& error);

// The library's window settings file, kept in the home as the game's host keeps it.
inline constexpr const char* kWindowSettingsFile = "imgui.ini";

// The console's line history, kept in the home beside the settings.
inline constexpr const char* kConsoleHistoryFile = "console_history";

// What is at path when it is there but is not a regular file (or a link to one), in a few words: "a
// named pipe", "a folder", "a device", "a socket". "" when a file may be read or created there. The
// sandbox opens only files: a pipe would wait forever for a writer, a device would read without end.
std::string notARegularFile(const std::filesystem::path& path);

// Why a picture cannot be written at path, whose folder does not exist or is not a folder, in a few
// words ("the folder out/x does not exist"); "" when it may. Nothing is created for a picture but
// the file itself.
std::string outputFolderRefusal(const std::filesystem::path& path);

// Opens a script for reading; "" on success, else why not in a few words ("no such file", "it is a
// folder", "permission denied").
std::string openScript(const std::filesystem::path& script, std::ifstream& file);

// A path the user gave, made absolute against the directory the command was started in, so that it
// still names the same file after the session has moved into its home.
std::filesystem::path resolveFrom(const std::filesystem::path& startDirectory, const std::filesystem::path& path);

}  // namespace sandbox::session
