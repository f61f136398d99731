// The settings file on disk: saved whole or not at all, as the same file through the same links, and
// only where a plain write could have written it. The platform's calls live in SettingsFile_posix.cpp
// and SettingsFile_windows.cpp; the names and text they share in SettingsFile.cpp.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace settingsfile {

// What "\n" becomes in a text-mode stream here: LF, or CR LF on Windows.
extern const char* const kLineEnd;

// Replaces the content of the file at configPath with text, or leaves everything as it was.
void save(const std::filesystem::path& configPath, std::string_view text);

// Removes the temporaries that saves killed before their rename left beside the file, and nothing else.
void removeLeftoverTemporaries(const std::filesystem::path& configPath);

// Makes the file new at path, never opening anything that already has the name and never through a
// link, and writes text into it; false and nothing left behind otherwise.
bool writeNewFile(const std::filesystem::path& path, std::string_view text);

// Shared by the platforms. A temporary is named "<file name>.<process>-<16 hex digits>.tmp": a name
// of one save alone, and recognisable at a later load by what follows the file's name.
std::string temporarySuffix(std::uint64_t processId);
bool isTemporarySuffix(std::string_view afterFileName);
// Text for a write in place over a file of oldLength bytes: text, then line ends up to oldLength, so
// that what the write leaves before the file is cut to text's length replays as text.
std::string coveringText(std::string_view text, std::uintmax_t oldLength);

}  // namespace settingsfile
