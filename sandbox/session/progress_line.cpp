// The progress line: carriage returns rather than terminal escapes, so it works on every console.
#include "sandbox/session/progress_line.h"

#include <chrono>
#include <cstdio>
#include <ostream>

namespace sandbox::session {
namespace {

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

ProgressLine::ProgressLine(std::ostream* out, std::string what, double totalGameSeconds, Clock clock)
    : out_(out), what_(std::move(what)), total_(totalGameSeconds), clock_(clock ? std::move(clock) : steadySeconds),
      start_(clock_()) {}

ProgressLine::~ProgressLine() {
    if (shownLength_ == 0) return;
    *out_ << '\r' << std::string(shownLength_, ' ') << '\r' << std::flush;
}

void ProgressLine::update(double doneGameSeconds, long frames) {
    if (!out_) return;
    const double now = clock_();
    const double elapsed = now - start_;
    if (elapsed < kShowAfterSeconds || (shownAt_ >= 0 && now - shownAt_ < kRefreshSeconds)) return;
    shownAt_ = now;
    char text[160];
    std::snprintf(text, sizeof text, "%s: %.1f of %g game seconds, %ld frames, %.0f frames a second", what_.c_str(),
                  doneGameSeconds, total_, frames, static_cast<double>(frames) / elapsed);
    const std::string line(text);
    // Spaces cover what a longer earlier line left behind.
    const std::size_t padding = shownLength_ > line.size() ? shownLength_ - line.size() : 0;
    *out_ << '\r' << line << std::string(padding, ' ') << std::flush;
    shownLength_ = line.size() + padding;
}

}  // namespace sandbox::session
