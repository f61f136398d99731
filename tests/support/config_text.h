// The plugin's configuration file as the tests expect it, byte for byte: two lines written through a
// text-mode stream, which ends each with LF on Linux and with CR LF on Windows.
#pragma once

#include <string>

namespace testsupport {

#if defined(_WIN32)
inline constexpr const char* kTextLineEnd = "\r\n";
#else
inline constexpr const char* kTextLineEnd = "\n";
#endif

inline std::string configText(const std::string& scale, const std::string& transparency) {
    return "kvanescale \"" + scale + "\"" + kTextLineEnd + "kvanetransparency \"" + transparency + "\"" + kTextLineEnd;
}

}  // namespace testsupport
