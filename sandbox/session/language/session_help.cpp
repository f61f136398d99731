// The language in short, for 'help' typed at the console or in the live window's terminal.
#include "sandbox/session/language/session_help.h"

namespace sandbox::app {
namespace {

constexpr std::string_view kSessionInShort = R"(The session language, one command a line ('#' starts a comment):
  kvanescale 1.5 | kvanescale | A Q | togglemenu keyvane   host console commands
  game menu|local|online|training    match running|ended   the game state
  hold KEY... | release KEY...       game key names ('keyvane-sandbox keys' lists them)
  tick [N] | frame [N] | wait SECONDS                       time, ticks and frames
  drag DX DY                          move the overlay window with the mouse
  snapshot FILE.png [--window] [--zoom N] | record FILE.gif ... record stop   pictures
  unload | load                       the module
  help | quit | exit
)";

constexpr std::string_view kLiveInShort = R"(Typed here while the window is open:
  kvanescale 1.5 | kvanescale | A Q | togglemenu keyvane   host console commands
  game menu|local|online|training    match running|ended   the game state
  help | quit | exit
Your keyboard and mouse hold the keys; drag the overlay with the mouse.
)";

}  // namespace

std::string_view sessionHelpText() { return kSessionInShort; }

std::string_view liveHelpText() { return kLiveInShort; }

}  // namespace sandbox::app
