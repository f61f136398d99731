// One session line of arbitrary bytes through the sandbox's reader: a command, nothing, or a reason.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sandbox/session/language/session_command.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parsed = sandbox::session::parseSessionLine(std::string_view(reinterpret_cast<const char*>(data), size));
    // A line is exactly one of the three.
    if (parsed.empty && !parsed.error.empty()) __builtin_trap();
    return 0;
}
