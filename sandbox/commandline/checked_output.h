// Standard output that notices its writes failing: replies sent to a full disk or /dev/full are an
// error the program reports, and a reader that went away (`| head`) stops a session as SIGTERM does.
#pragma once

#include <functional>
#include <streambuf>
#include <string>

namespace sandbox::commandline {

// A buffer for std::cout that writes through the C library's stdout, flushing it on every flush of
// the stream, and keeps the first failure.
class CheckedOutput : public std::streambuf {
public:
    // onClosed is called once when a write finds the pipe's reader gone (EPIPE).
    explicit CheckedOutput(std::function<void()> onClosed) : onClosed_(std::move(onClosed)) {}

    // Why a write failed ("no space left on device"), or "" while every write has worked.
    const std::string& failure() const { return failure_; }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* bytes, std::streamsize count) override;
    int sync() override;

private:
    bool note(bool worked);

    std::function<void()> onClosed_;
    std::string failure_;
};

}  // namespace sandbox::commandline
