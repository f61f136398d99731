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

namespace {

namespace fs = std::filesystem;

// What "%f" makes of the float widened to double in the C locale (nan and inf spelled as the C
// library spells them), whatever locale the process has been given: a host or another module may
// call setlocale, and the host's replay reads a decimal point.
std::string settingLine(const char* name, float value) {
    // Enough for the widest float in "%f": sign, 39 integer digits, point, 6 decimals.
    char number[64];
    const auto written = std::to_chars(number, number + sizeof number, static_cast<double>(value),
                                       std::chars_format::fixed, 6);
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

enum class WriteResult { NotOpened, Failed, Written };

// Both lines through a text-mode stream, so that Windows gets CR LF.
WriteResult writeSettingsTo(const fs::path& file, const std::string& scaleLine,
                            const std::string& transparencyLine) {
    std::ofstream stream(file, std::ios::out);
    if (!stream.is_open()) {
        return WriteResult::NotOpened;
    }
    stream << scaleLine << "\n";
    stream << transparencyLine << "\n";
    stream.close();
    return stream.fail() ? WriteResult::Failed : WriteResult::Written;
}

// Where the new file goes: beside the regular file that a link at configPath names, so that the
// link stays. A link to anything else (a device, nothing) is replaced itself.
fs::path replacedFile(const fs::path& configFile) {
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(configFile, error)) && fs::is_regular_file(fs::status(configFile, error))) {
        const fs::path target = fs::canonical(configFile, error);
        if (!error) {
            return target;
        }
    }
    return configFile;
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

// Reads nothing itself: a missing file on the first run is not an error, and a file that is no
// file is skipped like a missing one.
void Keyvane::loadSavedSettings() {
    if (canReplay(configPath)) {
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

// The new file is written whole beside the old one and then renamed over it, so that a process
// killed at any moment leaves the old file or the new one, never a part. Where the rename cannot be
// made (on Windows another process may hold the file open without delete sharing) it is written in
// place. Failures are silent: the next change or the unload tries again.
void Keyvane::saveSettings() {
    const std::string scaleLine = settingLine("kvanescale", scale.load(std::memory_order_relaxed));
    const std::string transparencyLine =
        settingLine("kvanetransparency", transparency.load(std::memory_order_relaxed));
    const fs::path target = replacedFile(configPath);
    fs::path temporary = target;
    temporary += ".new";

    std::error_code error;
    // Whatever a crash or anyone else left there goes first; a FIFO would block the opening.
    fs::remove(temporary, error);
    const bool temporaryFree = !fs::exists(fs::symlink_status(temporary, error));
    switch (temporaryFree ? writeSettingsTo(temporary, scaleLine, transparencyLine) : WriteResult::NotOpened) {
    case WriteResult::Written:
        fs::rename(temporary, target, error);
        if (!error) {
            return;
        }
        fs::remove(temporary, error);
        break;
    case WriteResult::Failed:
        // Written in part (a full disk): the old file stays as it was.
        fs::remove(temporary, error);
        return;
    case WriteResult::NotOpened:
        break;
    }
    // In place only over a regular file or none: opening a FIFO for writing would block.
    const fs::file_status status = fs::status(target, error);
    if (fs::is_regular_file(status) || !fs::exists(status)) {
        writeSettingsTo(target, scaleLine, transparencyLine);
    }
}
