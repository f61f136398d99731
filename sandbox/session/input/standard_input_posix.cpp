// Standard input on POSIX systems: isatty tells a terminal from a file or pipe, and poll lets a
// wait for the next line give way to a stop request without a blocking read.
#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "sandbox/session/input/line_editor.h"
#include "sandbox/session/input/line_input.h"

namespace sandbox::app {
namespace {

constexpr int kStopCheckMilliseconds = 100;

class PlainStandardInput : public LineInput {
public:
    explicit PlainStandardInput(std::function<bool()> stop) : stop_(std::move(stop)) {}

    bool next(std::string& line) override {
        for (;;) {
            if (const auto end = pending_.find('\n'); end != std::string::npos) {
                line = pending_.substr(0, end);
                pending_.erase(0, end + 1);
                return true;
            }
            if (ended_) {
                // The last line may lack its end.
                if (pending_.empty()) return false;
                line.swap(pending_);
                pending_.clear();
                return true;
            }
            if (stop_ && stop_()) return false;
            pollfd input{STDIN_FILENO, POLLIN, 0};
            if (poll(&input, 1, kStopCheckMilliseconds) <= 0) continue;
            char buffer[4096];
            const ssize_t count = read(STDIN_FILENO, buffer, sizeof buffer);
            if (count > 0) {
                pending_.append(buffer, static_cast<std::size_t>(count));
            } else if (count == 0 || errno != EINTR) {
                ended_ = true;
            }
        }
    }

private:
    std::function<bool()> stop_;
    std::string pending_;
    bool ended_ = false;
};

}  // namespace

bool standardInputIsTerminal() { return isatty(STDIN_FILENO) != 0 && isatty(STDOUT_FILENO) != 0; }

std::unique_ptr<LineInput> standardInputLines(const std::string& prompt, const std::filesystem::path& historyFile,
                                              std::function<bool()> stop) {
    if (standardInputIsTerminal()) return terminalLineEditor(prompt, historyFile, std::move(stop));
    return std::make_unique<PlainStandardInput>(std::move(stop));
}

}  // namespace sandbox::app
