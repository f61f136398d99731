// What both platforms' settings-file code shares: the temporaries' names and the text of a write in
// place.
#include "plugin/SettingsFile.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <random>

namespace settingsfile {

std::string temporarySuffix(std::uint64_t processId) {
    // Two draws: the random device gives 32 bits at a time.
    std::random_device entropy;
    const std::uint64_t random = (static_cast<std::uint64_t>(entropy()) << 32) | entropy();
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".%" PRIu64 "-%016" PRIx64 ".tmp", processId, random);
    return suffix;
}

bool isTemporarySuffix(std::string_view rest) {
    constexpr std::string_view kEnd = ".tmp";
    if (!rest.starts_with('.') || !rest.ends_with(kEnd)) return false;
    rest = rest.substr(1, rest.size() - 1 - kEnd.size());
    const auto dash = rest.find('-');
    if (dash == 0 || dash == std::string_view::npos || rest.size() - dash - 1 != 16) return false;
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const auto isHex = [&](char c) { return isDigit(c) || (c >= 'a' && c <= 'f'); };
    return std::all_of(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(dash), isDigit) &&
           std::all_of(rest.begin() + static_cast<std::ptrdiff_t>(dash) + 1, rest.end(), isHex);
}

std::string coveringText(std::string_view text, std::uintmax_t oldLength) {
    std::string covering(text);
    if (oldLength > covering.size()) covering.append(static_cast<std::size_t>(oldLength - covering.size()), '\n');
    return covering;
}

}  // namespace settingsfile
