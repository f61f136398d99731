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

// Replaces the content of the file at configPath with text, or leaves everything as it was. Returns
// why nothing was written, or empty when the file was written or is no file (a device, a FIFO: the
// player's, left alone on purpose). Never waits on another process for longer than kLockPatience.
std::string save(const std::filesystem::path& configPath, std::string_view text);

// How long a write in place tries for the lock that another writer in place, or any process that can
// read the file, may hold; past it the save gives up and says so.
inline constexpr int kLockPatienceMilliseconds = 100;

// Removes the temporaries that saves killed before their rename left beside the file: this user's
// own, with one name, and older than kLeftoverAgeSeconds. Nothing else, nothing of another user.
void removeLeftoverTemporaries(const std::filesystem::path& configPath);

// A live save keeps its temporary for the microseconds between making and renaming it; one a minute
// old belongs to a save that was killed or stopped, and even a stopped save that wakes to find its
// temporary gone makes another.
inline constexpr int kLeftoverAgeSeconds = 60;

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
