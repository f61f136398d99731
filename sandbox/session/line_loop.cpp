// The line loop shared by scripts, the console and the live window's terminal.
#include "sandbox/session/line_loop.h"

#include <ostream>

#include "sandbox/session/input/line_input.h"
#include "sandbox/session/language/session_help.h"
#include "sandbox/session/language/session_words.h"
#include "sandbox/session/session.h"

namespace sandbox::session {
namespace {

enum class ConsoleWord { None, Help, Quit };

// The console's own words, alone on their line ('help' may name a word); anything more is the
// session language's business.
ConsoleWord consoleWord(std::string_view line, std::string& topic) {
    const Words split = splitWords(lineContent(line));
    const auto& words = split.words;
    if (!split.error.empty() || words.empty()) return ConsoleWord::None;
    if ((words[0] == "help" || words[0] == "?") && words.size() <= 2) {
        topic = words.size() == 2 ? words[1] : "";
        return ConsoleWord::Help;
    }
    if (words.size() == 1 && (words[0] == "quit" || words[0] == "exit")) return ConsoleWord::Quit;
    return ConsoleWord::None;
}

}  // namespace

int runLines(LineInput& input, const std::string& sourceName, LineMode mode, const LineAction& run,
             std::string_view helpText, std::ostream& out, std::ostream& err, bool* quitTyped) {
    int status = kExitOk;
    if (quitTyped) *quitTyped = false;
    std::string line;
    long lineNumber = 0;
    while (input.next(line)) {
        ++lineNumber;
        if (!input.refusal().empty()) {
            out << std::flush;
            err << sourceName << ':' << lineNumber << ": " << input.refusal() << std::endl;
            status = kExitBadInput;
            if (mode == LineMode::Script) break;
            continue;
        }
        std::string topic;
        const ConsoleWord word = consoleWord(line, topic);
        if (word == ConsoleWord::Quit) {
            if (quitTyped) *quitTyped = true;
            break;
        }
        std::string failure;
        if (word == ConsoleWord::Help) {
            std::string text(helpText);
            if (!topic.empty() && !wordHelp(topic, text)) failure = text;
            if (failure.empty()) {
                out << text << std::flush;
                continue;
            }
        } else {
            const ParsedLine parsed = parseSessionLine(line);
            if (parsed.empty) continue;
            failure = parsed.error;
            if (failure.empty()) {
                try {
                    const std::string reply = run(parsed.command);
                    if (!reply.empty()) out << reply << '\n' << std::flush;
                } catch (const CommandError& error) {
                    failure = error.what();
                }
            }
        }
        if (failure.empty()) continue;
        // Replies already printed must come first: the message follows the line that caused it.
        out << std::flush;
        err << sourceName << ':' << lineNumber << ": " << failure << std::endl;
        status = kExitBadInput;
        if (mode == LineMode::Script) break;
    }
    out << std::flush;
    return status;
}

int runLines(Session& session, LineInput& input, const std::string& sourceName, LineMode mode, std::ostream& out,
             std::ostream& err) {
    const LineAction run = [&](const SessionCommand& command) {
        const std::size_t picturesBefore = session.picturesWritten().size();
        std::string reply = session.execute(command);
        if (mode == LineMode::Console) {
            for (std::size_t i = picturesBefore; i < session.picturesWritten().size(); ++i) {
                if (!reply.empty()) reply += '\n';
                reply += "wrote " + session.picturesWritten()[i].string();
            }
        }
        return reply;
    };
    return runLines(input, sourceName, mode, run, sessionHelpText(), out, err);
}

}  // namespace sandbox::session
