// Finding things in keyvane-sandbox: hints for mistyped key names, the listing of the game's keys,
// the default home a session gets, and the reason a script cannot be read.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>

#include "sandbox/commandline/user_home.h"
#include "sandbox/pluginsdk/host.h"
#include "sandbox/session/language/name_hints.h"
#include "sandbox/session/session_files.h"
#include "sandbox_program.h"

using namespace sandbox::commandline;
using namespace sandbox::session;
using Names = std::vector<std::string>;

TEST(KeyHints, ACapLabelOrADigitNamesItsOneKey) {
    EXPECT_EQ(closestKeyNames("Shift"), Names{"LeftShift"});
    EXPECT_EQ(closestKeyNames("ctrl"), Names{"LeftControl"});
    EXPECT_EQ(closestKeyNames("Caps"), Names{"CapsLock"});
    EXPECT_EQ(closestKeyNames("Space"), Names{"SpaceBar"});
    EXPECT_EQ(closestKeyNames("Alt"), Names{"LeftAlt"});
    EXPECT_EQ(closestKeyNames("1"), Names{"One"});
    EXPECT_EQ(closestKeyNames("7"), Names{"Seven"});
    EXPECT_EQ(closestKeyNames("spacebar"), Names{"SpaceBar"});  // only the case was wrong
    EXPECT_EQ(closestKeyNames("a"), Names{"A"});
}

TEST(KeyHints, OtherNamesGetWhatContainsThemThenWhatTheyAbbreviateThenTypos) {
    EXPECT_EQ(closestKeyNames("Control"), (Names{"LeftControl", "RightControl"}));
    EXPECT_EQ(closestKeyNames("Esc"), Names{"Escape"});
    EXPECT_EQ(closestKeyNames("LMB"), Names{"LeftMouseButton"});
    EXPECT_EQ(closestKeyNames("RMB"), Names{"RightMouseButton"});
    EXPECT_EQ(closestKeyNames("LShift"), Names{"LeftShift"});
    EXPECT_EQ(closestKeyNames("Tabb"), Names{"Tab"});
    EXPECT_EQ(closestKeyNames("SpaceBra"), Names{"SpaceBar"});
    EXPECT_EQ(closestKeyNames("Mouse"), (Names{"MouseScrollUp", "MouseScrollDown"}));
    EXPECT_EQ(closestKeyNames("Button").size(), 3u);  // never more than three
    EXPECT_EQ(closestKeyNames("Button")[0], "LeftMouseButton");
    EXPECT_EQ(closestKeyNames("Nothing"), Names{});
    EXPECT_EQ(closestKeyNames(""), Names{});
}

TEST(KeyHints, TheMessageListsTheHintsOrPointsToTheListing) {
    EXPECT_EQ(unknownKeyMessage("Shift"), "unknown key name 'Shift' (did you mean LeftShift?)");
    EXPECT_EQ(unknownKeyMessage("Control"), "unknown key name 'Control' (did you mean LeftControl or RightControl?)");
    EXPECT_EQ(unknownKeyMessage("Button"), "unknown key name 'Button' (did you mean LeftMouseButton, "
                                           "RightMouseButton or ThumbMouseButton?)");
    EXPECT_EQ(unknownKeyMessage("Nothing"),
              "unknown key name 'Nothing' ('keyvane-sandbox keys' lists the game's key names)");
}

TEST(CommandHints, AMistypedCommandGetsTheClosestVariableCommandOrSessionWord) {
    const std::vector<std::string> variables{"kvanescale", "kvanetransparency", "A", "LeftShift"};
    const std::vector<std::pair<const char*, const char*>> cases{{"kvanescal", "kvanescale"},
                                                                 {"KvaneTransparancy", "kvanetransparency"},
                                                                 {"hodl", "hold"},
                                                                 {"relase", "release"},
                                                                 {"togglemneu", "togglemenu"},
                                                                 {"quti", "quit"},
                                                                 {"snapshto", "snapshot"},
                                                                 {"kvanesize", "kvanescale"},
                                                                 {"LeftShft", "LeftShift"},
                                                                 {"blah", ""},
                                                                 {"B", ""},
                                                                 {"a", "A"},
                                                                 {"", ""}};
    for (const auto& [typed, closest] : cases) EXPECT_EQ(closestCommand(typed, variables), closest) << typed;
    EXPECT_EQ(withCommandHint("unknown command: hodl", "hodl", variables),
              "unknown command: hodl (did you mean hold?)");
    EXPECT_EQ(withCommandHint("unknown command: blah", "blah", variables), "unknown command: blah");
}

TEST(KeyHints, TheListingHasEveryGameKeyAndWhatTheKeyboardPrintsWhereTheGameDiffers) {
    const std::string listing = keyListing();
    for (const auto& name : sandbox::Host::keyNames()) {
        const bool listed = listing.find("\n  " + name + ' ') != std::string::npos ||
                            listing.find("\n  " + name + '\n') != std::string::npos;
        EXPECT_TRUE(listed) << name;
    }
    EXPECT_NE(listing.find("  LeftShift             printed \"Shift\"\n"), std::string::npos) << listing;
    EXPECT_NE(listing.find("  SpaceBar              printed \"Space\"\n"), std::string::npos);
    EXPECT_NE(listing.find("\n  A\n"), std::string::npos);  // printed as the game names it
}

TEST(DefaultHome, AnAbsoluteStateFolderWinsThenTheHomeFolder) {
    std::string error;
    EXPECT_EQ(defaultHomeFrom("/x/state", "/home/u", error), "/x/state/keyvane-sandbox");
    EXPECT_EQ(defaultHomeFrom(nullptr, "/home/u", error), "/home/u/.local/state/keyvane-sandbox");
    // The base directory rules ignore relative and empty values.
    EXPECT_EQ(defaultHomeFrom("state", "/home/u", error), "/home/u/.local/state/keyvane-sandbox");
    EXPECT_EQ(defaultHomeFrom("", "/home/u", error), "/home/u/.local/state/keyvane-sandbox");
    EXPECT_EQ(error, "");
    EXPECT_EQ(defaultHomeFrom(nullptr, "relative", error), "");
    EXPECT_EQ(error, "no folder for the session: neither XDG_STATE_HOME nor HOME names an absolute folder "
                     "(give one with --home DIR)");
}

TEST(Scripts, AScriptThatCannotBeReadSaysWhy) {
    sandbox_test::ScratchFolder folder;
    std::ifstream file;
    EXPECT_EQ(openScript(folder / "nosuch.session", file), "no such file");
    EXPECT_EQ(openScript(folder.path(), file), "it is a folder");
    sandbox_test::writeText(folder / "good.session", "wait 1\n");
    EXPECT_EQ(openScript(folder / "good.session", file), "");
    std::string line;
    EXPECT_TRUE(std::getline(file, line));
    EXPECT_EQ(line, "wait 1");

    std::filesystem::permissions(folder / "good.session", std::filesystem::perms::none);
    std::ifstream locked;
    // The superuser reads any file, so only an ordinary user sees this refusal.
    if (geteuid() != 0) {
        EXPECT_EQ(openScript(folder / "good.session", locked), "permission denied");
    }
}
