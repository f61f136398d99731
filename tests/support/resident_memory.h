// How much of this process's memory is resident, for the tests that hold it flat. Linux reads it
// from /proc; elsewhere it is not measured and the figure is skipped.
#pragma once

#include <cstddef>
#include <fstream>
#include <optional>

#if defined(__linux__)
#  include <unistd.h>
#endif

namespace testsupport {

// A sanitizer's own bookkeeping (quarantined frees, shadow memory) grows by design.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool kUnderSanitizer = true;
#elif defined(__has_feature)
#  if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
inline constexpr bool kUnderSanitizer = true;
#  else
inline constexpr bool kUnderSanitizer = false;
#  endif
#else
inline constexpr bool kUnderSanitizer = false;
#endif

inline std::optional<std::size_t> residentBytes() {
#if defined(__linux__)
    std::ifstream statm("/proc/self/statm");
    std::size_t totalPages = 0;
    std::size_t residentPages = 0;
    if (!(statm >> totalPages >> residentPages)) return std::nullopt;
    return residentPages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
#else
    return std::nullopt;
#endif
}

}  // namespace testsupport
