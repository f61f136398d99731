// The session language's words and their help, in one table.
#include "sandbox/session/language/session_help.h"

#include <array>

#include "sandbox/session/language/name_hints.h"

namespace sandbox::session {
namespace {

constexpr std::array<SessionWord, 18> kWords{{
    {"VARIABLE", WordKind::Host, true, "kvanescale 1.5 | kvanescale | A Q", "set or print a console variable",
     "VARIABLE VALUE sets a host console variable and VARIABLE alone prints its value, as the game's console\n"
     "does: 'kvanescale 1.5', 'kvanescale'. A key's binding variable (A, LeftShift, ...) takes a game key\n"
     "name: 'A Q' resolves the game's Q into the A binding's entry; a name the game does not know changes\n"
     "nothing but the text, and the session says so.\n"},
    {"togglemenu", WordKind::Host, true, "togglemenu MENU", "open or close a plugin's window",
     "togglemenu MENU opens the plugin window registered as MENU, or closes it: 'togglemenu keyvane'.\n"},
    {"game", WordKind::Session, true, "game menu|local|online|training", "the game's state",
     "game menu|local|online|training puts the player in the menus, a local or an online match, or custom\n"
     "training: 'game online'.\n"},
    {"match", WordKind::Session, true, "match running|ended", "the current match",
     "match running|ended: whether the current match is still played or has ended: 'match ended'.\n"},
    {"hold", WordKind::Session, false, "hold KEY...", "hold game keys",
     "hold KEY... holds keys by the game's names ('keyvane-sandbox keys' lists them; a near miss gets a\n"
     "hint): 'hold A LeftMouseButton'. A key no plugin polls gets a line saying so.\n"},
    {"release", WordKind::Session, false, "release KEY...", "release game keys",
     "release KEY... lets the keys go: 'release A LeftMouseButton'.\n"},
    {"tick", WordKind::Session, false, "tick [N]", "N viewport ticks",
     "tick [N] fires N viewport ticks (default 1) without moving the clock; the plugin polls keys on each:\n"
     "'tick 10'.\n"},
    {"frame", WordKind::Session, false, "frame [N]", "N drawn frames",
     "frame [N] draws N frames (default 1) without moving the clock: 'frame 3'.\n"},
    {"wait", WordKind::Session, false, "wait SECONDS", "let game time pass",
     "wait SECONDS advances the game clock, firing due timers, ticking and drawing at the session's rate\n"
     "(--rate, 60 a second): 'wait 1.5' after load lets the plugin open its window.\n"},
    {"drag", WordKind::Session, false, "drag DX DY", "drag the overlay window",
     "drag DX DY drags the overlay window by DX, DY pixels with the mouse, a few pixels a frame: 'drag 200 -50'.\n"},
    {"snapshot", WordKind::Session, false, "snapshot FILE.png [--window] [--zoom N]", "a picture",
     "snapshot FILE.png [--window] [--zoom N] draws a frame and writes the whole screen as the player sees\n"
     "it; --window keeps the overlay window's rectangle alone, --zoom N repeats every pixel N times across\n"
     "and down (1 to 8). A picture that shows no overlay, or only part of it, says why in one line:\n"
     "'snapshot out/a.png --window --zoom 2'.\n"},
    {"record", WordKind::Session, false, "record FILE.gif [--window] [--zoom N] ... record stop", "an animated capture",
     "record FILE.gif [--window] [--zoom N] captures every frame drawn until 'record stop' (or the end of the\n"
     "session), at the session's rate; --window keeps the smallest rectangle that holds the overlay window\n"
     "in every frame, --zoom N enlarges it: 'record out/a.gif --window' ... 'record stop'.\n"},
    {"unload", WordKind::Session, false, "unload", "unload the module",
     "unload unloads the module as the host does; the plugin saves its settings.\n"},
    {"load", WordKind::Session, false, "load", "load the module again",
     "load loads the module again as the host does; it reads its settings back.\n"},
    {"help", WordKind::Console, true, "help [WORD]", "this list, or one word's help",
     "help lists the language; help WORD describes one word: 'help snapshot'.\n"},
    {"quit", WordKind::Console, true, "quit | exit", "end the input",
     "quit (or exit) ends the input, as its end does; the session saves as the game does.\n"},
    {"exit", WordKind::Console, true, "quit | exit", "end the input",
     "exit (or quit) ends the input, as its end does; the session saves as the game does.\n"},
    {"language", WordKind::Console, true, "help language", "the whole language",
     "help language describes every word of the session language.\n"},
}};

constexpr std::string_view kLanguageHead =
    "The session language: one command a line, '#' starts a comment, double quotes group a word.\n"
    "Any line that is not a word below goes to the host console unchanged.\n";

std::string listed(bool liveOnly) {
    std::string text;
    std::string_view previous;
    for (const auto& word : kWords) {
        if (word.word == "language" || (liveOnly && !word.runsLive) || word.synopsis == previous) continue;
        previous = word.synopsis;
        std::string line = "  " + std::string(word.synopsis);
        line.resize(std::max<std::size_t>(line.size() + 2, 44), ' ');
        text += line + std::string(word.summary) + '\n';
    }
    return text;
}

}  // namespace

std::span<const SessionWord> sessionVocabulary() { return kWords; }

const SessionWord* findSessionWord(std::string_view word) {
    for (const auto& entry : kWords) {
        if (entry.word == word) return &entry;
    }
    return nullptr;
}

std::string sessionHelpText() {
    return std::string(kLanguageHead) + listed(false) +
           "'help WORD' describes one word, 'help language' all of them.\n";
}

std::string liveHelpText() {
    return "Typed here while the window is open:\n" + listed(true) +
           "Your keyboard and mouse hold the keys; drag the overlay with the mouse.\n";
}

std::string languageHelp() {
    std::string text(kLanguageHead);
    for (const auto& word : kWords) {
        if (word.word == "language" || word.word == "exit") continue;
        text += '\n' + std::string(word.help);
    }
    return text;
}

bool wordHelp(std::string_view word, std::string& text) {
    if (word == "language" || word == "session" || word == "script") {
        text = languageHelp();
        return true;
    }
    if (word == "words") {
        text = sessionHelpText();
        return true;
    }
    if (const SessionWord* entry = findSessionWord(word)) {
        text = entry->help;
        return true;
    }
    std::vector<std::string> words;
    for (const auto& entry : kWords) words.emplace_back(entry.word);
    text = "no help on '" + std::string(word) + "'";
    if (const std::string closest = closestCommand(word, words); !closest.empty()) {
        text += " (did you mean " + closest + "?)";
    } else {
        text += " ('help' lists the words)";
    }
    return false;
}

}  // namespace sandbox::session
