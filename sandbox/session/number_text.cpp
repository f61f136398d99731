// Strict number reading for command-line options and session lines.
#include "sandbox/session/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace sandbox::session {
namespace {

// Appended piece by piece: GCC 12 at -O3 takes "'" + std::string(text) for an overlapping copy.
std::string quoted(std::string_view text) {
    std::string result(1, '\'');
    result.append(text).push_back('\'');
    return result;
}

std::string rangeText(double minimum, double maximum) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%g to %g", minimum, maximum);
    return buffer;
}

}  // namespace

NumberRead<std::int64_t> readCount(std::string_view text, std::int64_t minimum, std::int64_t maximum) {
    NumberRead<std::int64_t> read;
    const std::string expected = "a whole number from " + std::to_string(minimum) + " to " + std::to_string(maximum);
    bool digitsOnly = !text.empty();
    for (char c : text) digitsOnly = digitsOnly && c >= '0' && c <= '9';
    std::int64_t value = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (!digitsOnly || status != std::errc{} || end != text.data() + text.size() || value < minimum ||
        value > maximum) {
        read.error = "expected " + expected + ", got " + quoted(text);
        return read;
    }
    read.value = value;
    return read;
}

NumberRead<double> readDecimal(std::string_view text, double minimum, double maximum) {
    NumberRead<double> read;
    const std::string expected = "a number from " + rangeText(minimum, maximum);
    // The C library's leniency (leading blanks, hex floats, "nan", "infinity") is not wanted here.
    bool plainChars = !text.empty();
    for (char c : text) {
        plainChars = plainChars && ((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E');
    }
    if (!plainChars) {
        read.error = "expected " + expected + ", got " + quoted(text);
        return read;
    }
    // from_chars reads "1.5" as one and a half whatever the process's locale; it takes no plus sign.
    const char* first = text.data();
    const char* const last = text.data() + text.size();
    if (first != last && *first == '+' && last - first > 1 && first[1] != '-' && first[1] != '+') ++first;
    double value = 0;
    const auto [end, status] = std::from_chars(first, last, value);
    if (status != std::errc{} || end != last || !std::isfinite(value) || value < minimum || value > maximum) {
        read.error = "expected " + expected + ", got " + quoted(text);
        return read;
    }
    read.value = value;
    return read;
}

NumberRead<ScreenSize> readScreenSize(std::string_view text) {
    NumberRead<ScreenSize> read;
    const auto cross = text.find('x');
    if (cross == std::string_view::npos) {
        read.error = "expected a screen size WIDTHxHEIGHT such as 1280x720, got " + quoted(text);
        return read;
    }
    const auto width = readCount(text.substr(0, cross), 16, 8192);
    const auto height = readCount(text.substr(cross + 1), 16, 8192);
    if (!width || !height) {
        read.error = "expected a screen size WIDTHxHEIGHT with each side from 16 to 8192 pixels, got " + quoted(text);
        return read;
    }
    read.value = {static_cast<int>(width.value), static_cast<int>(height.value)};
    return read;
}

}  // namespace sandbox::session
