// Standard input on POSIX systems: isatty tells a terminal from a file or pipe, and poll lets a
// wait for the next line give way to a stop request without a blocking read.
#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "sandbox/session/input/line_editor.h"
#include "sandbox/session/input/line_input.h"

namespace sandbox::session {
namespace {

constexpr int kStopCheckMilliseconds = 100;

class PlainStandardInput : public LineInput {
public:
    explicit PlainStandardInput(std::function<bool()> stop) : stop_(std::move(stop)) {}

    bool next(std::string& line) override {
        while (!lines_.take(line, refusal_)) {
            if (lines_.ended()) return false;
            if (stop_ && stop_()) return false;
            pollfd input{STDIN_FILENO, POLLIN, 0};
            if (poll(&input, 1, kStopCheckMilliseconds) <= 0) continue;
            const ssize_t count = read(STDIN_FILENO, buffer_, sizeof buffer_);
            if (count > 0) {
                lines_.append(std::string_view(buffer_, static_cast<std::size_t>(count)));
            } else if (count == 0 || errno != EINTR) {
                lines_.end();
            }
        }
        return true;
    }

private:
    std::function<bool()> stop_;
    LineSplitter lines_;
    char buffer_[64 * 1024];
};

}  // namespace

bool standardInputIsTerminal() { return isatty(STDIN_FILENO) != 0 && isatty(STDOUT_FILENO) != 0; }

bool standardErrorIsTerminal() { return isatty(STDERR_FILENO) != 0; }

std::unique_ptr<LineInput> standardInputLines(const std::string& prompt, const std::filesystem::path& historyFile,
                                              std::function<bool()> stop, std::function<bool()> interrupted) {
    if (standardInputIsTerminal()) {
        return terminalLineEditor(prompt, historyFile, std::move(stop), std::move(interrupted));
    }
    return std::make_unique<PlainStandardInput>(std::move(stop));
}

}  // namespace sandbox::session
