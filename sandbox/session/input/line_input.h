// Where console lines come from: any stream, or standard input, which on a terminal gets line
// editing and history from the platform's line editor.
#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

namespace sandbox::app {

class LineInput {
public:
    virtual ~LineInput() = default;
    // Waits for the next line, without its end. False at the end of the input, or once the input's
    // stop condition holds.
    virtual bool next(std::string& line) = 0;
};

// Lines of a stream, e.g. a script file or a test's text.
class StreamLineInput : public LineInput {
public:
    explicit StreamLineInput(std::istream& stream) : stream_(stream) {}
    bool next(std::string& line) override;

private:
    std::istream& stream_;
};

// Is standard input a terminal (a person typing) rather than a file or a pipe?
bool standardInputIsTerminal();

// Standard input, line by line. On a terminal the user edits the line after `prompt`, and the Up
// and Down arrows walk the history, which persists in historyFile. `stop` is asked about ten times
// a second while waiting, so a caller on another thread can end the wait.
std::unique_ptr<LineInput> standardInputLines(const std::string& prompt, const std::filesystem::path& historyFile,
                                              std::function<bool()> stop);

}  // namespace sandbox::app
