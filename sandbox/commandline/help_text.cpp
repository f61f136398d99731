// Help texts. Kept next to each other so the options and examples stay consistent: every command's
// help lists each option it takes, one line each with an example, from the same lines.
#include "sandbox/commandline/help_text.h"

#include <iterator>
#include <vector>

#include "sandbox/session/language/name_hints.h"
#include "sandbox/session/language/session_help.h"

namespace sandbox::commandline {

using session::closestCommand;
using session::sessionHelpText;
using session::sessionVocabulary;
using session::wordHelp;
namespace {

constexpr std::string_view kHomeOption =
    "  --home DIR        the session's working folder, kept between runs      --home /tmp/kv\n";
constexpr std::string_view kScreenOption =
    "  --screen WxH      the screen in pixels (default 1280x720)              --screen 1920x1080\n";
constexpr std::string_view kModuleOption =
    "  --module PATH     the plugin module (default: the one beside this program)  --module my/Keyvane.so\n";
constexpr std::string_view kRateOption =
    "  --rate HZ         ticks and frames a second of game time (default 60)  --rate 120\n";
constexpr std::string_view kTraceOption =
    "  --trace           print every SDK call the plugin makes, as it happens  --trace\n";
constexpr std::string_view kRenderOptions =
    "  --out FILE.png    the picture to write (required)                      --out out/x.png\n"
    "  --scale S         the overlay's size factor, kvanescale                --scale 0.75\n"
    "  --transparency T  the window background's alpha, 0 clear to 1 opaque  --transparency 1\n"
    "  --hold KEY,...    game key names held in the picture                   --hold A,LeftMouseButton\n"
    "  --window          only the overlay window's rectangle                  --window\n"
    "  --zoom N          every pixel N times across and down, 1 to 8          --window --zoom 2\n"
    "  --home DIR        use and keep the settings in DIR (default: a fresh home)  --home /tmp/kv\n";
constexpr std::string_view kExitStatus =
    "Exit status: 0 done; 2 a bad option, script line, key name, module file, a picture that could\n"
    "not be written whole, or a home that is no folder or that other users could change (one line on\n"
    "standard error); 1 this machine cannot run the session (no EGL for pictures, a home it cannot\n"
    "write), a save of the settings failed (the plugin's line says why) or standard output cannot be\n"
    "written; 130, 143 or 129 stopped by Ctrl+C, SIGTERM or SIGHUP, and 141 when the reader of\n"
    "standard output went away, settings and captures saved first.\n";

constexpr std::string_view kOverview =
    R"(keyvane-sandbox: run the Keyvane plugin module the way the game's host does, and see the overlay.

Usage:
  keyvane-sandbox run SCRIPT|- [--home DIR] [--screen WxH] [--module PATH] [--rate HZ] [--trace]
  keyvane-sandbox render --out FILE.png [--scale S] [--transparency T] [--hold KEY,...]
                         [--window] [--zoom N] [--home DIR] [--screen WxH] [--module PATH] [--trace]
  keyvane-sandbox console [--home DIR] [--screen WxH] [--module PATH] [--rate HZ] [--trace]
  keyvane-sandbox live [--home DIR] [--screen WxH] [--module PATH] [--rate HZ] [--trace]
  keyvane-sandbox keys [--home DIR] [--module PATH]   every game key name; '*' marks those polled
  keyvane-sandbox help [COMMAND]        (or COMMAND --help): every option of a command
  keyvane-sandbox help WORD|language    a word of the session language, or all of it
  keyvane-sandbox --version

The home (--home DIR) is the session's working folder: the plugin keeps ./bakkesmod/cfg/keyvane.cfg
there and the host keeps the window's place in imgui.ini, so both persist from one run to the next.
Without --home it is keyvane-sandbox in your state folder ($XDG_STATE_HOME or ~/.local/state),
named at start; render without --home uses a fresh one and leaves yours alone.

Examples:
  keyvane-sandbox render --scale 0.75 --hold A,LeftMouseButton --window --zoom 2 --out out/x.png
  keyvane-sandbox run examples/demo.session --home /tmp/kv
  echo 'kvanescale' | keyvane-sandbox console --trace

)";

constexpr std::string_view kRun =
    R"(keyvane-sandbox run SCRIPT|- [--home DIR] [--screen WxH] [--module PATH] [--rate HZ] [--trace]

Loads the module, then plays SCRIPT ('-': standard input) one line at a time. The first line that
cannot run stops the session with SCRIPT:LINE: message on standard error and exit status 2; pictures
already written stay. Relative picture names are taken from the folder you run the command in, not
from --home, and their folders must exist. A picture that shows no overlay, or only part of it, says
why on standard error (the window is not open yet, no match, cut at the screen's edge, ...).

@LANGUAGE@

Example script:
  wait 1.5                  # the plugin opens its window one second after load
  game online
  record out/held.gif
  hold A LeftMouseButton
  wait 0.5
  snapshot out/held.png --window --zoom 2
  record stop

Options:
)";
constexpr std::string_view kRunExamples = R"(
Examples:
  keyvane-sandbox run examples/demo.session
  keyvane-sandbox run my.session --home /tmp/kv --screen 1920x1080 --rate 120 --trace

)";

constexpr std::string_view kRender =
    R"(keyvane-sandbox render --out FILE.png [--scale S] [--transparency T] [--hold KEY,...]
                       [--window] [--zoom N] [--home DIR] [--screen WxH] [--module PATH] [--trace]

One picture of the overlay as a player sees it in a running online match, 1.5 s of game time after
the module loads. The settings go through the console variables kvanescale and kvanetransparency,
as a player's would. Without --home the session has a fresh home, removed afterwards, so the
picture shows the defaults and your stored settings stay as they are; with --home it uses (and
keeps) the settings saved there. Success prints the picture's path alone; the fresh home is named
with --trace or when the render fails. A picture that shows no overlay, or only part of it (a
window of no size, outside the screen or cut at its edge), says why in one line on standard error.

Options:
)";
constexpr std::string_view kRenderExamples = R"(
Examples:
  keyvane-sandbox render --out overlay.png
  keyvane-sandbox render --scale 0.75 --hold A,LeftMouseButton --window --zoom 2 --out x.png
  keyvane-sandbox render --scale 2 --transparency 1 --screen 1920x1080 --out big.png

)";

constexpr std::string_view kConsole =
    R"(keyvane-sandbox console [--home DIR] [--screen WxH] [--module PATH] [--rate HZ] [--trace]

Loads the module and reads the session language from standard input, one line at a time, printing
the host's replies. A line that cannot run is reported as <stdin>:LINE: message right after it and
the next line is read; the exit status is 2 if any line failed. 'help' shows the language in short,
'help WORD' one word, 'help language' all of it; 'quit' or 'exit' (or the end of input, Ctrl+D) ends
the session, saving as the game does. On a terminal, lines can be edited and the Up and Down arrows
walk the history, which is kept in the home's console_history.

Options:
)";
constexpr std::string_view kConsoleExamples = R"(
Examples:
  keyvane-sandbox console
  printf 'kvanescale 1.5\nkvanescale\n' | keyvane-sandbox console --home /tmp/kv
  echo 'hold A' | keyvane-sandbox console --trace

)";

constexpr std::string_view kLive =
    R"(keyvane-sandbox live [--home DIR] [--screen WxH] [--module PATH] [--rate HZ] [--trace]

A real window (GLFW, OpenGL 3.3) showing the overlay over the backdrop in a running online match.
Your own keys and mouse buttons drive the game's key states; the game thread ticks at --rate and
the render thread draws, as in the game, paced by the display or, without one, by --rate; the
title shows the frame rate. The window can be resized: the screen is drawn at its new size. Drag
the overlay with the mouse; close the window, press Ctrl+C, type 'quit', or send SIGTERM or SIGHUP
to stop: each saves the settings and the window's place. Lines typed in the terminal run as host
console commands (kvanescale 1.5, togglemenu keyvane), and 'game ...' and 'match ...' change the
game state; 'help' lists them.

Keys, named the way the game names them on Windows:
  letters       by the character your keyboard layout puts on the key: on an AZERTY layout the key
                left of Z is "A" and lights the A cap; on a QWERTY layout that key is "Q"
  number row    by position: the keys below F1..F10 are One..Nine, Zero, whatever they print
                (on AZERTY they print & e " ' ( ... and are still One..Five, as in the game)
  others        Tab, CapsLock, LeftShift, LeftControl, LeftAlt, SpaceBar, Enter, Escape, F1..F12,
                BackSpace, arrows (Up, Down, Left, Right) and the right-hand modifiers
  mouse         left, middle and right buttons: LeftMouseButton, MiddleMouseButton, RightMouseButton;
                buttons 4 and 5: ThumbMouseButton, ThumbMouseButton2

Options:
)";
constexpr std::string_view kLiveExamples = R"(
Examples:
  keyvane-sandbox live --home ~/.keyvane
  keyvane-sandbox live --screen 1920x1080 --rate 144

)";

constexpr std::string_view kKeys = R"(keyvane-sandbox keys [--home DIR] [--module PATH]

Lists every game key name the host knows, one a line, as 'hold', 'release', render's --hold and the
binding variables take them, with what a keyboard prints on the keys the game names otherwise
(Shift is LeftShift, Ctrl is LeftControl). A '*' marks the keys the plugin polls, as the host sees
it ask on a tick of an online match: holding any other key shows nothing. A name that is not in the list
gets the closest ones as a hint wherever it is typed.

Options:
  --home DIR        polled with the bindings kept in DIR (default: a fresh home)  --home /tmp/kv
)";
constexpr std::string_view kKeysExamples = R"(
Examples:
  keyvane-sandbox keys
  keyvane-sandbox keys | grep Mouse

)";

std::string joined(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (const auto part : parts) text += part;
    return text;
}

}  // namespace

constexpr std::string_view kCommandNames[] = {"run", "render", "console", "live", "keys"};

bool isHelpTopic(std::string_view topic) {
    for (const auto command : kCommandNames) {
        if (topic == command) return true;
    }
    std::string ignored;
    return wordHelp(topic, ignored);
}

std::string helpTopicRefusal(std::string_view topic) {
    std::vector<std::string> topics(std::begin(kCommandNames), std::end(kCommandNames));
    for (const auto& word : sessionVocabulary()) topics.emplace_back(word.word);
    const std::string closest = closestCommand(topic, topics);
    return "no help on '" + std::string(topic) + "'" + (closest.empty() ? "" : " (did you mean " + closest + "?)") +
           ": the commands are run, render, console, live, keys; 'help language' describes the session language";
}

std::string helpText(std::string_view topic) {
    const auto sessionOptions = {kHomeOption, kScreenOption, kModuleOption, kRateOption, kTraceOption};
    auto withOptions = [&](std::string_view head, std::string_view examples) {
        std::string text(head);
        for (const auto option : sessionOptions) text += option;
        return text + std::string(examples) + std::string(kExitStatus);
    };
    if (topic == "run") {
        std::string head(kRun);
        head.replace(head.find("@LANGUAGE@\n"), 11, sessionHelpText());
        return withOptions(head, kRunExamples);
    }
    if (topic == "console") return withOptions(kConsole, kConsoleExamples);
    if (topic == "live") return withOptions(kLive, kLiveExamples);
    if (topic == "render") {
        return joined(
            {kRender, kRenderOptions, kScreenOption, kModuleOption, kTraceOption, kRenderExamples, kExitStatus});
    }
    if (topic == "keys")
        return joined({kKeys, kModuleOption, kKeysExamples, "Exit status: 0, or 2 for a bad option.\n"});
    if (std::string text; !topic.empty() && wordHelp(topic, text)) return text;
    return joined({kOverview, kExitStatus});
}

}  // namespace sandbox::commandline
