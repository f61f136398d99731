// What both platforms' settings-file code shares: the temporaries' names and the text of a write in
// place.
#include "plugin/SettingsFile.h"

#include <algorithm>
#include <random>

namespace settingsfile {

std::string temporaryName(const std::string& fileName, std::uint64_t processId) {
    // Two draws: the random device gives 32 bits at a time.
    std::random_device entropy;
    const std::uint64_t random = (static_cast<std::uint64_t>(entropy()) << 32) | entropy();
    static constexpr char kHex[] = "0123456789abcdef";
    std::string digits(16, '0');
    for (int i = 0; i < 16; ++i) digits[static_cast<std::size_t>(i)] = kHex[(random >> (60 - 4 * i)) & 0xF];
    return fileName + "." + std::to_string(processId) + "-" + digits + ".tmp";
}

bool isTemporaryName(std::string_view candidate, std::string_view fileName) {
    constexpr std::string_view kSuffix = ".tmp";
    if (!candidate.starts_with(fileName) || !candidate.ends_with(kSuffix)) return false;
    candidate.remove_prefix(fileName.size());
    candidate.remove_suffix(kSuffix.size());
    if (!candidate.starts_with('.')) return false;
    candidate.remove_prefix(1);
    const auto dash = candidate.find('-');
    if (dash == 0 || dash == std::string_view::npos || candidate.size() - dash - 1 != 16) return false;
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const auto isHex = [&](char c) { return isDigit(c) || (c >= 'a' && c <= 'f'); };
    return std::all_of(candidate.begin(), candidate.begin() + static_cast<std::ptrdiff_t>(dash), isDigit) &&
           std::all_of(candidate.begin() + static_cast<std::ptrdiff_t>(dash) + 1, candidate.end(), isHex);
}

std::string coveringText(std::string_view text, std::uintmax_t oldLength) {
    std::string covering(text);
    if (oldLength > covering.size()) covering.append(static_cast<std::size_t>(oldLength - covering.size()), '\n');
    return covering;
}

}  // namespace settingsfile
