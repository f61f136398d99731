// Feeding lines of the session language to a session, from a script file or from the console.
//
// In a script the first line that cannot run stops everything; at the console the error is reported
// and the next line is read.
#pragma once

#include <iosfwd>
#include <string>

namespace sandbox::app {

class Session;

enum class LineMode {
    Script,    // stop at the first failing line
    Console,   // report and go on; prompt when the input is a terminal
};

// Exit statuses of the program.
inline constexpr int kExitOk = 0;
inline constexpr int kExitSetup = 1;      // the machine cannot run a session
inline constexpr int kExitBadInput = 2;   // a bad line, option, key name or module file

// Runs every line of input. Replies go to out; errors go to err as "SOURCE:LINE: message".
// Returns kExitOk, or kExitBadInput if a line failed.
int runLines(Session& session, std::istream& input, const std::string& sourceName, LineMode mode,
             std::ostream& out, std::ostream& err, bool prompt = false);

}  // namespace sandbox::app
