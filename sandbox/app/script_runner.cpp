// The line loop shared by scripts and the console.
#include "script_runner.h"

#include <istream>
#include <ostream>

#include "session.h"
#include "session_command.h"

namespace sandbox::app {

int runLines(Session& session, std::istream& input, const std::string& sourceName, LineMode mode,
             std::ostream& out, std::ostream& err, bool prompt)
{
    int status = kExitOk;
    std::string line;
    long lineNumber = 0;
    for (;;) {
        if (prompt) out << "> " << std::flush;
        if (!std::getline(input, line)) break;
        ++lineNumber;
        const ParsedLine parsed = parseSessionLine(line);
        if (parsed.empty) continue;
        std::string failure = parsed.error;
        if (failure.empty()) {
            const std::size_t picturesBefore = session.picturesWritten().size();
            try {
                const std::string reply = session.execute(parsed.command);
                if (!reply.empty()) out << reply << '\n';
                if (mode == LineMode::Console && session.picturesWritten().size() > picturesBefore) {
                    out << "wrote " << session.picturesWritten().back().string() << '\n';
                }
            } catch (const CommandError& error) {
                failure = error.what();
            }
        }
        if (failure.empty()) continue;
        err << sourceName << ':' << lineNumber << ": " << failure << '\n';
        status = kExitBadInput;
        if (mode == LineMode::Script) break;
    }
    if (prompt) out << '\n';
    out << std::flush;
    return status;
}

}  // namespace sandbox::app
