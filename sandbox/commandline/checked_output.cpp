// The checked standard output: stdio does the buffering; each call reports its own errno, which is
// the only moment the reason is known.
#include "sandbox/commandline/checked_output.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <system_error>

namespace sandbox::commandline {

bool CheckedOutput::note(bool worked) {
    if (worked) return true;
    const int reason = errno != 0 ? errno : EIO;
    if (failure_.empty()) {
        failure_ = std::generic_category().message(reason);
        if (!failure_.empty()) failure_[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(failure_[0])));
        if (reason == EPIPE && onClosed_) onClosed_();
    }
    return false;
}

CheckedOutput::int_type CheckedOutput::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    errno = 0;
    return note(std::fputc(traits_type::to_char_type(c), stdout) != EOF) ? c : traits_type::eof();
}

std::streamsize CheckedOutput::xsputn(const char* bytes, std::streamsize count) {
    errno = 0;
    const std::size_t written = std::fwrite(bytes, 1, static_cast<std::size_t>(count), stdout);
    note(written == static_cast<std::size_t>(count));
    return static_cast<std::streamsize>(written);
}

int CheckedOutput::sync() {
    errno = 0;
    return note(std::fflush(stdout) == 0) ? 0 : -1;
}

}  // namespace sandbox::commandline
