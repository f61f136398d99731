// Feeding lines of the session language to a session, from a script file or from the console.
//
// In a script the first line that cannot run stops everything; at the console the error is reported
// and the next line is read. Either way a message reads "SOURCE:LINE: message" and comes right after
// the line that caused it. `help` shows the language in short; `quit` and `exit` end the input.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

#include "sandbox/session/language/session_command.h"

namespace sandbox::session {

class LineInput;
class Session;

enum class LineMode {
    Script,   // stop at the first failing line
    Console,  // report and go on
};

// Exit statuses of the program.
inline constexpr int kExitOk = 0;
inline constexpr int kExitSetup = 1;     // the machine cannot run a session
inline constexpr int kExitBadInput = 2;  // a bad line, option, key name or module file

// Runs one command; returns what to print (possibly empty). Throws CommandError.
using LineAction = std::function<std::string(const SessionCommand&)>;

// Runs every line of input through `run`; `help` prints helpText. Replies go to out, errors to err.
// Returns kExitOk, or kExitBadInput if a line failed. quitTyped, when given, tells whether the input
// ended with 'quit' or 'exit' rather than at its end.
int runLines(LineInput& input, const std::string& sourceName, LineMode mode, const LineAction& run,
             std::string_view helpText, std::ostream& out, std::ostream& err, bool* quitTyped = nullptr);

// The same on a session; at the console each picture a line writes is named ("wrote out/a.png").
int runLines(Session& session, LineInput& input, const std::string& sourceName, LineMode mode, std::ostream& out,
             std::ostream& err);

}  // namespace sandbox::session
