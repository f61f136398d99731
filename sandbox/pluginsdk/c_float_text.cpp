// Reading a console value as a float the way the C library's strtof does in the C locale, on every
// platform and whatever locale the process has set: std::from_chars never consults the locale.
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>
#include <system_error>

#include "host_state.h"

namespace sandbox {
namespace {

bool isCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Whether a number text that no double can hold is huge (rather than tiny): the position of its
// first significant digit, moved by its exponent, says which side of 1 it lies. Only called for
// texts that from_chars matched, so the mantissa has at least one digit.
bool overflows(std::string_view number, bool hex) {
    const char exponentMark = hex ? 'p' : 'e';
    std::int64_t digitPosition = 0;  // in digits of the base: > 0 means the value is >= 1
    bool seenPoint = false;
    bool seenSignificant = false;
    std::size_t i = 0;
    for (; i < number.size() && (number[i] | 0x20) != exponentMark; ++i) {
        const char c = number[i];
        if (c == '.') {
            seenPoint = true;
        } else if (!seenSignificant && c == '0') {
            if (seenPoint) --digitPosition;
        } else {
            seenSignificant = true;
            if (!seenPoint) ++digitPosition;
        }
    }
    if (!seenSignificant) return false;
    std::int64_t exponent = 0;
    bool negativeExponent = false;
    if (i < number.size()) {
        ++i;
        if (i < number.size() && (number[i] == '-' || number[i] == '+')) negativeExponent = number[i++] == '-';
        for (; i < number.size(); ++i) {
            // Saturate: a billion decimal places is as decisive as any larger exponent.
            exponent = std::min<std::int64_t>(exponent * 10 + (number[i] - '0'), 1'000'000'000);
        }
    }
    if (hex) digitPosition *= 4;  // a hexadecimal digit is four binary places of the 'p' exponent
    return digitPosition + (negativeExponent ? -exponent : exponent) > 0;
}

// The value of a number that the float range cannot hold: infinity or zero, as strtof gives.
float outOfRange(std::string_view number, bool hex) {
    double wide = 0;
    const auto format = hex ? std::chars_format::hex : std::chars_format::general;
    const auto wideRead = std::from_chars(number.data(), number.data() + number.size(), wide, format);
    const bool huge = wideRead.ec == std::errc{} ? std::fabs(wide) >= 1.0 : overflows(number, hex);
    return huge ? std::numeric_limits<float>::infinity() : 0.0f;
}

}  // namespace

float parseFloatLikeC(const std::string& text) {
    const char* cursor = text.data();
    const char* const last = text.data() + text.size();
    while (cursor != last && isCSpace(*cursor)) ++cursor;
    bool negative = false;
    if (cursor != last && (*cursor == '+' || *cursor == '-')) negative = *cursor++ == '-';
    // from_chars takes a minus sign of its own; after the one sign strtof allows there is none.
    if (cursor == last || *cursor == '-' || *cursor == '+') return 0.0f;

    bool hex = false;
    if (last - cursor > 2 && cursor[0] == '0' && (cursor[1] | 0x20) == 'x' &&
        (isHexDigit(cursor[2]) || (cursor[2] == '.' && last - cursor > 3 && isHexDigit(cursor[3])))) {
        hex = true;
        cursor += 2;
    }
    float value = 0.0f;
    const auto format = hex ? std::chars_format::hex : std::chars_format::general;
    const auto [end, status] = std::from_chars(cursor, last, value, format);
    if (status == std::errc::invalid_argument) return 0.0f;
    if (status == std::errc::result_out_of_range) {
        value = outOfRange(std::string_view(cursor, static_cast<std::size_t>(end - cursor)), hex);
    }
    return negative ? -value : value;
}

}  // namespace sandbox
