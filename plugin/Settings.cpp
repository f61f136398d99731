// The two user settings, scale and transparency: their console variables and change handlers, and
// the two-line configuration file the host replays at the next load. The plugin never parses it.
#include <charconv>
#include <filesystem>
#include <fstream>
#include <ios>
#include <string>
#include <system_error>
#include <utility>

#include "plugin/Keyvane.h"
#include "plugin/SettingsFile.h"

namespace {

namespace fs = std::filesystem;

// What "%f" makes of the float widened to double in the C locale (nan and inf spelled as the C
// library spells them), whatever locale the process has been given: a host or another module may
// call setlocale, and the host's replay reads a decimal point.
std::string settingLine(const char* name, float value) {
    // Enough for the widest float in "%f": sign, 39 integer digits, point, 6 decimals.
    char number[64];
    const auto written =
        std::to_chars(number, number + sizeof number, static_cast<double>(value), std::chars_format::fixed, 6);
    return std::string(name) + " \"" + std::string(number, written.ptr) + "\"";
}

// Whether load may hand the file to the host: a regular file, or a link to one, that opens. A FIFO
// would block the opening itself, and a device would feed the replay without end.
bool canReplay(const fs::path& file) {
    std::error_code error;
    if (!fs::is_regular_file(fs::status(file, error))) {
        return false;
    }
    std::ifstream stream(file);
    const std::ios::iostate state = stream.rdstate();
    stream.close();
    return (state & (std::ios::failbit | std::ios::badbit)) == 0;
}

}  // namespace

void Keyvane::registerSettings() {
    cvarManager->registerCvar("kvanescale", "1.0", "", true, false, 0.0f, false, 0.0f, true)
        .addOnValueChanged(
            [this](std::string previousValue, CVarWrapper cvar) { scaleChanged(std::move(previousValue), cvar); });
    cvarManager->registerCvar("kvanetransparency", "0", "", true, false, 0.0f, false, 0.0f, true)
        .addOnValueChanged([this](std::string previousValue, CVarWrapper cvar) {
            transparencyChanged(std::move(previousValue), cvar);
        });
}

// Reads nothing itself: a missing file on the first run is not an error, and a file that is no
// file is skipped like a missing one. What killed saves left beside it goes first.
//
// The replay writes nothing: a write between its lines would store the first setting with the
// other's default, and a kill there would keep it. When a file was handed over but the replay did
// not report both settings (a line missing or refused, a file the host would not read whole),
// the file is kept as it is until a setting changes: the unload must not write defaults over values
// the host could not read. An empty file is no such file.
void Keyvane::loadSavedSettings() {
    settingsfile::removeLeftoverTemporaries(configPath);
    if (canReplay(configPath)) {
        replaying = true;
        settingsReplayed = 0;
        cvarManager->loadCfg(configPath);
        replaying = false;
        // An empty file holds nothing to lose: a plain write killed after its truncation leaves one.
        std::error_code error;
        keepStoredFile =
            settingsReplayed != (kScaleSetting | kTransparencySetting) && fs::file_size(configPath, error) != 0;
    }
}

// Stored as given, unclamped: the drawing, not the setting, guards against unusable values.
void Keyvane::scaleChanged(std::string, CVarWrapper cvar) {
    scale.store(cvar.getFloatValue(), std::memory_order_relaxed);
    settingChanged(kScaleSetting);
}

void Keyvane::transparencyChanged(std::string, CVarWrapper cvar) {
    transparency.store(cvar.getFloatValue(), std::memory_order_relaxed);
    settingChanged(kTransparencySetting);
}

void Keyvane::settingChanged(unsigned setting) {
    if (replaying) {
        settingsReplayed |= setting;
        return;
    }
    keepStoredFile = false;
    saveSettings();
}

// Whole or not at all, and only where the plain write of the two lines could have written
// (SettingsFile.h). A save that writes nothing says why in the console, once; the next change or the
// unload tries again. The plugin logs nothing else, so a host can count these lines as failures.
void Keyvane::saveSettings() {
    if (keepStoredFile) {
        cvarManager->log("keyvane: settings not saved: " + configPath +
                         " was not read whole at load and is kept as it is until a setting changes");
        return;
    }
    const std::string text = settingLine("kvanescale", scale.load(std::memory_order_relaxed)) + settingsfile::kLineEnd +
                             settingLine("kvanetransparency", transparency.load(std::memory_order_relaxed)) +
                             settingsfile::kLineEnd;
    if (const std::string why = settingsfile::save(configPath, text); !why.empty()) {
        cvarManager->log("keyvane: settings not saved: " + configPath + " " + why);
    }
}
