// The two user settings, scale and transparency: their console variables and change handlers, and
// the two-line configuration file the host replays at the next load. The plugin never parses it.
#include <cstdio>
#include <fstream>
#include <ios>
#include <string>
#include <utility>

#include "plugin/Keyvane.h"

namespace {

// "%f" of the float widened to double, as the host's config replay reads it back; nan and inf come
// out as the C library spells them.
std::string settingLine(const char* name, float value) {
    // Enough for the widest float in "%f": sign, 39 integer digits, point, 6 decimals.
    char number[64];
    std::snprintf(number, sizeof number, "%f", static_cast<double>(value));
    return std::string(name) + " \"" + number + "\"";
}

}  // namespace

void Keyvane::registerSettings() {
    cvarManager->registerCvar("kvanescale", "1.0", "", true, false, 0.0f, false, 0.0f, true)
        .addOnValueChanged([this](std::string previousValue, CVarWrapper cvar) {
            scaleChanged(std::move(previousValue), cvar);
        });
    cvarManager->registerCvar("kvanetransparency", "0", "", true, false, 0.0f, false, 0.0f, true)
        .addOnValueChanged([this](std::string previousValue, CVarWrapper cvar) {
            transparencyChanged(std::move(previousValue), cvar);
        });
}

// Only tests that the file opens: a missing file on the first run is not an error.
void Keyvane::loadSavedSettings() {
    std::ios::iostate state;
    {
        std::ifstream file(configPath);
        state = file.rdstate();
        file.close();
    }
    if ((state & (std::ios::failbit | std::ios::badbit)) == 0) {
        cvarManager->loadCfg(configPath);
    }
}

// Stored as given, unclamped: the drawing, not the setting, guards against unusable values.
void Keyvane::scaleChanged(std::string, CVarWrapper cvar) {
    scale.store(cvar.getFloatValue(), std::memory_order_relaxed);
    saveSettings();
}

void Keyvane::transparencyChanged(std::string, CVarWrapper cvar) {
    transparency.store(cvar.getFloatValue(), std::memory_order_relaxed);
    saveSettings();
}

// A file that cannot be written only sets error bits in a stream that is then dropped; the next
// change or the unload tries again.
void Keyvane::saveSettings() {
    std::ofstream file(configPath, std::ios::out);
    file << settingLine("kvanescale", scale.load(std::memory_order_relaxed)) << "\n";
    file << settingLine("kvanetransparency", transparency.load(std::memory_order_relaxed)) << "\n";
    file.close();
}
