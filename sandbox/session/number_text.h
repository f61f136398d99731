// Strict reading of the numbers a user types: whole counts, finite decimals and screen sizes.
// Every reader accepts the whole text or nothing, and says in one line what it expected.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sandbox::session {

// The outcome of reading one number: the value, or why the text is not acceptable.
template <typename T>
struct NumberRead {
    T value{};
    std::string error;  // empty when the text was accepted
    explicit operator bool() const { return error.empty(); }
};

// A whole number in [minimum, maximum], written in decimal digits without sign or spaces ("12").
NumberRead<std::int64_t> readCount(std::string_view text, std::int64_t minimum, std::int64_t maximum);

// A finite decimal in [minimum, maximum] ("1.5", "-20", "2e-1"); rejects "nan", "inf", "1.5x", "".
NumberRead<double> readDecimal(std::string_view text, double minimum, double maximum);

struct ScreenSize {
    int width = 1280;
    int height = 720;
};

// "WIDTHxHEIGHT", each a whole number of pixels in [16, 8192].
NumberRead<ScreenSize> readScreenSize(std::string_view text);

}  // namespace sandbox::session
