// How far a long command has got, on one terminal line that is rewritten in place and cleared when
// the command ends. Commands shorter than a couple of seconds show nothing.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

namespace sandbox::session {

class ProgressLine {
public:
    using Clock = std::function<double()>;  // seconds of real time, never going back
    static constexpr double kShowAfterSeconds = 2.0;
    static constexpr double kRefreshSeconds = 0.2;

    // out: where the line goes, a terminal; none shows nothing. `what` names the command ("wait").
    ProgressLine(std::ostream* out, std::string what, double totalGameSeconds, Clock clock = {});
    ~ProgressLine();  // clears the line if it was shown
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void update(double doneGameSeconds, long frames);

private:
    std::ostream* out_;
    std::string what_;
    double total_;
    Clock clock_;
    double start_;
    double shownAt_ = -1.0;
    std::size_t shownLength_ = 0;
};

}  // namespace sandbox::session
