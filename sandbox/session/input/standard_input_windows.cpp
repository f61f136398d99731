// Standard input on Windows: plain lines from the C++ stream, without editing or history (the
// console window keeps its own), and a terminal test through the C run-time's _isatty.
#include <io.h>

#include <iostream>

#include "sandbox/session/input/line_input.h"

namespace sandbox::session {
namespace {

// Lines of std::cin. A wait for a line cannot be cut short here; the stop is checked between lines.
class ConsoleLines : public LineInput {
public:
    explicit ConsoleLines(std::function<bool()> stop) : lines_(std::cin), stop_(std::move(stop)) {}
    bool next(std::string& line) override {
        if ((stop_ && stop_()) || !lines_.next(line)) return false;
        refusal_ = lines_.refusal();
        return true;
    }

private:
    StreamLineInput lines_;
    std::function<bool()> stop_;
};

}  // namespace

bool standardInputIsTerminal() { return _isatty(0) != 0 && _isatty(1) != 0; }

bool standardErrorIsTerminal() { return _isatty(2) != 0; }

// The console window handles Ctrl+C at its own prompt; `interrupted` has nothing to clear here.
std::unique_ptr<LineInput> standardInputLines(const std::string&, const std::filesystem::path&,
                                              std::function<bool()> stop, std::function<bool()>) {
    return std::make_unique<ConsoleLines>(std::move(stop));
}

}  // namespace sandbox::session
