// Help texts. Kept next to each other so the examples stay consistent.
#include "sandbox/commandline/help_text.h"

namespace sandbox::app {
namespace {

constexpr std::string_view kOverview =
    R"(keyvane-sandbox: run the Keyvane plugin module the way the game's host does, and see the overlay.

Usage:
  keyvane-sandbox run SCRIPT [--home DIR] [--screen WxH] [--module PATH] [--rate HZ] [--trace]
  keyvane-sandbox render --out FILE.png [--scale S] [--transparency T] [--hold KEY,...]
                         [--home DIR] [--screen WxH] [--module PATH]
  keyvane-sandbox console [--home DIR] [--screen WxH] [--module PATH] [--rate HZ] [--trace]
  keyvane-sandbox live [--home DIR] [--screen WxH] [--module PATH] [--rate HZ] [--trace]
  keyvane-sandbox keys                  every game key name, and what keyboards print on some keys
  keyvane-sandbox help [COMMAND]        (or COMMAND --help)
  keyvane-sandbox --version

Common options:
  --home DIR      the session's working folder (default: keyvane-sandbox in your state folder,
                  $XDG_STATE_HOME or ~/.local/state, named at start). The plugin keeps
                  ./bakkesmod/cfg/keyvane.cfg there, and the host keeps the window settings in
                  imgui.ini, so settings and the window's place persist from one run to the next.
  --screen WxH    screen size in pixels (default 1280x720).
  --module PATH   the plugin module (default: Keyvane.so next to this program).
  --rate HZ       ticks and frames per second of game time (default 60).
  --trace         print every SDK call the plugin makes, with its arguments, as it happens
                  on standard error, one a line: trace: GameWrapper::IsKeyPressed(1000 = A)

Examples:
  keyvane-sandbox render --scale 0.75 --hold A,LeftMouseButton --out out/x.png
  keyvane-sandbox run examples/demo.session --home /tmp/kv
  echo 'kvanescale' | keyvane-sandbox console --trace

Exit status: 0 done; 2 a bad script line, option, key name or module file (FILE:LINE: message on
standard error); 1 this machine cannot render (no EGL).
)";

constexpr std::string_view kRun = R"(keyvane-sandbox run SCRIPT [--home DIR] [--screen WxH] [--module PATH] [--rate HZ]

Loads the module, then plays SCRIPT one line at a time. The first line that cannot run stops the
session with SCRIPT:LINE: message on standard error and exit status 2; pictures already written stay.
Relative picture names are taken from the folder you run the command in, not from --home.

The session language (one command per line, '#' starts a comment):
  kvanescale 1.5            any host console command: set a variable,
  kvanescale                print its value,
  A Q                       re-bind a key (binding variables are named after the game's keys),
  togglemenu keyvane        open or close the plugin's window
  game menu|local|online|training
  match running|ended
  hold KEY...               hold keys, by the game's names: hold A LeftMouseButton
  release KEY...            release them
  tick [N]                  fire N viewport ticks (default 1); the plugin polls keys on each
  frame [N]                 draw N frames (default 1)
  wait SECONDS              advance the game clock, firing due timers, ticking and drawing at the
                            session's rate (60 per second), e.g. 'wait 1.5' after load opens the window
  drag DX DY                drag the overlay window by DX, DY pixels with the mouse
  snapshot FILE.png         draw a frame and write the whole screen to FILE.png
  record FILE.gif           start an animated capture of every frame drawn from here on,
  record stop               at the session's rate; stop writes it (the end of the session too)
  unload / load             unload the module (it saves its settings), load it again

Example script:
  wait 1.5                  # the plugin opens its window one second after load
  game online
  record out/held.gif
  hold A LeftMouseButton
  wait 0.5
  snapshot out/held.png
  record stop

Examples:
  keyvane-sandbox run examples/demo.session
  keyvane-sandbox run my.session --home /tmp/kv --screen 1920x1080
)";

constexpr std::string_view kRender =
    R"(keyvane-sandbox render --out FILE.png [--scale S] [--transparency T] [--hold KEY,...]
                       [--home DIR] [--screen WxH] [--module PATH]

One picture of the overlay as a player sees it in a running online match. The settings go through
the console variables kvanescale and kvanetransparency, as a player's would, so they are also saved
in the home's ./bakkesmod/cfg/keyvane.cfg. Without --scale or --transparency the saved (or default)
values are used. --hold takes the game's key names, comma-separated.

Examples:
  keyvane-sandbox render --out overlay.png
  keyvane-sandbox render --scale 0.75 --hold A,LeftMouseButton --out x.png
  keyvane-sandbox render --scale 2 --transparency 1 --screen 1920x1080 --out big.png
)";

constexpr std::string_view kConsole = R"(keyvane-sandbox console [--home DIR] [--screen WxH] [--module PATH] [--rate HZ]

Loads the module and reads the session language from standard input, one line at a time, printing
the host's replies. A line that cannot run is reported as <stdin>:LINE: message right after it and
the next line is read; the exit status is 2 if any line failed. 'help' shows the language in short,
'quit' or 'exit' (or the end of input, Ctrl+D) ends the session, saving as the game does. On a
terminal, lines can be edited and the Up and Down arrows walk the history, which is kept in the
home's console_history. See 'keyvane-sandbox help run' for the whole language.

Examples:
  keyvane-sandbox console
  printf 'kvanescale 1.5\nkvanescale\n' | keyvane-sandbox console --home /tmp/kv
  echo 'hold A' | keyvane-sandbox console --trace
)";

constexpr std::string_view kLive = R"(keyvane-sandbox live [--home DIR] [--screen WxH] [--module PATH] [--rate HZ]

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

Example:
  keyvane-sandbox live --home ~/.keyvane
)";

}  // namespace

std::string_view helpText(std::string_view topic) {
    if (topic == "run") return kRun;
    if (topic == "render") return kRender;
    if (topic == "console") return kConsole;
    if (topic == "live") return kLive;
    return kOverview;
}

}  // namespace sandbox::app
