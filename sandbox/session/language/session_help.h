// The session language described once: every word's synopsis, its line in the short help, its
// whole help and whether it runs beside a live window. The console's and the live terminal's
// 'help', 'help WORD', the command line's 'help WORD' and 'help language', the keyword list, the
// hints and runsLive all read this one table.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace sandbox::session {

enum class WordKind {
    Session,  // read by the session itself (game, hold, snapshot, ...)
    Host,     // handed to the host console (togglemenu, a variable)
    Console,  // the line loop's own (help, quit, exit)
};

struct SessionWord {
    std::string_view word;  // "hold"
    WordKind kind;
    bool runsLive;              // beside a live window, whose clock, frames and the user's hands do the rest
    std::string_view synopsis;  // "hold KEY..."
    std::string_view summary;   // what it does, in a few words
    std::string_view help;      // the whole description, lines of at most 100 characters, with an example
};

std::span<const SessionWord> sessionVocabulary();
const SessionWord* findSessionWord(std::string_view word);  // null for a word the language does not have

std::string sessionHelpText();  // 'help' at the console: one line a word
std::string liveHelpText();     // 'help' in the live window's terminal: the words it runs
std::string languageHelp();     // 'help language': the language whole, every word's help
// 'help WORD': the word's help, or "no help on 'WORD' (did you mean ...?)" and false.
bool wordHelp(std::string_view word, std::string& text);

}  // namespace sandbox::session
