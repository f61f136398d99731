// Where console lines come from: any stream, or standard input, which on a terminal gets line
// editing and history from the platform's line editor.
#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "sandbox/session/input/line_splitter.h"

namespace sandbox::session {

class LineInput {
public:
    virtual ~LineInput() = default;
    // Waits for the next line, without its end. False at the end of the input, or once the input's
    // stop condition holds.
    virtual bool next(std::string& line) = 0;

    // Why the line next() just gave cannot be used, "" if it can: a line longer than kMaxLineBytes
    // comes out empty, and this says so ("line too long (N bytes; the limit is 1 MiB)").
    const std::string& refusal() const { return refusal_; }

protected:
    std::string refusal_;
};

// Lines of a stream, e.g. a script file or a test's text. stopAtLongLine: the input ends at a line
// past the limit, for a script, which stops at its first bad line anyway.
class StreamLineInput : public LineInput {
public:
    explicit StreamLineInput(std::istream& stream, bool stopAtLongLine = false)
        : stream_(stream), lines_(stopAtLongLine) {}
    bool next(std::string& line) override;

private:
    std::istream& stream_;
    LineSplitter lines_;
};

// Is standard input a terminal (a person typing) rather than a file or a pipe?
bool standardInputIsTerminal();

// Is standard error a terminal, where a progress line can be rewritten in place?
bool standardErrorIsTerminal();

// Standard input, line by line. On a terminal the user edits the line after `prompt`, and the Up
// and Down arrows walk the history, which persists in historyFile. `stop` is asked about ten times
// a second while waiting, so a caller on another thread can end the wait; so is `interrupted`, when
// given, which at a terminal's prompt clears the line instead (Ctrl+C, see takeInterruptAtPrompt).
std::unique_ptr<LineInput> standardInputLines(const std::string& prompt, const std::filesystem::path& historyFile,
                                              std::function<bool()> stop, std::function<bool()> interrupted = {});

}  // namespace sandbox::session
