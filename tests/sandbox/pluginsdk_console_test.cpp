// The stand-in host itself: console variables and commands, configuration replay, timers, hooks,
// game state, key names and withdrawing a plugin. The plugin's tests rely on all of it.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "bakkesmod/plugin/pluginwindow.h"
#include "bakkesmod/wrappers/GameWrapper.h"
#include "bakkesmod/wrappers/cvarmanagerwrapper.h"
#include "sandbox/pluginsdk/host.h"
#include "support/scratch_folder.h"

namespace {

using sandbox::GameMode;
using sandbox::Host;

struct HostConsole : ::testing::Test {
    Host host;
    sandbox::OwnerId owner = host.newOwner();
    std::shared_ptr<CVarManagerWrapper> console = host.cvarManagerFor(owner);
    std::shared_ptr<GameWrapper> game = host.gameWrapperFor(owner);
};

TEST_F(HostConsole, FloatValueReadsLikeStrtofInTheCLocale) {
    CVarWrapper variable = console->registerCvar("probe", "1.0");
    const std::pair<const char*, float> cases[] = {
        {"1.5", 1.5f}, {"  -2", -2.0f},  {"0.1234567", 0.1234567f}, {"3abc", 3.0f}, {"abc", 0.0f},
        {"", 0.0f},    {"1e3", 1000.0f}, {"0x10", 16.0f},           {"1,5", 1.0f},  // a comma is no decimal point in
                                                                                    // the C locale
    };
    for (const auto& [text, expected] : cases) {
        variable.setValue(text);
        EXPECT_EQ(variable.getFloatValue(), expected) << text;
    }
    variable.setValue("nan");
    EXPECT_TRUE(std::isnan(variable.getFloatValue()));
    variable.setValue("-inf");
    EXPECT_EQ(variable.getFloatValue(), -INFINITY);
}

TEST_F(HostConsole, FloatValueFollowsTheCGrammarToItsEdges) {
    CVarWrapper variable = console->registerCvar("probe", "1.0");
    const std::pair<const char*, float> cases[] = {
        {"\t\n\v\f\r 7", 7.0f},
        {"+1.5", 1.5f},
        {"+-1", 0.0f},
        {"- 1", 0.0f},
        {".5", 0.5f},
        {"5.", 5.0f},
        {".", 0.0f},
        {"1e", 1.0f},
        {"1e+", 1.0f},
        {"2E-1x", 0.2f},
        {"0x", 0.0f},
        {"0x.8", 0.5f},
        {"0X1p-2", 0.25f},
        {"-0x1P4", -16.0f},
        {"0x-1", 0.0f},
        {"INF", INFINITY},
        {"-Infinity", -INFINITY},
        {"infinit", INFINITY},
        // Past the float range: infinity above it, zero (with its sign) below it, as strtof gives.
        {"1e39", INFINITY},
        {"-1e39", -INFINITY},
        {"1e400", INFINITY},
        {"1e-50", 0.0f},
        {"-1e-400", -0.0f},
        {"0x1p200", INFINITY},
        {"1e-40", 1e-40f},  // a subnormal float, kept
    };
    for (const auto& [text, expected] : cases) {
        variable.setValue(text);
        EXPECT_EQ(variable.getFloatValue(), expected) << text;
        EXPECT_EQ(std::signbit(variable.getFloatValue()), std::signbit(expected)) << text;
    }
    // Hundreds of digits reach past even a double's range without an exponent.
    variable.setValue("1" + std::string(400, '0'));
    EXPECT_EQ(variable.getFloatValue(), INFINITY);
    variable.setValue("0." + std::string(400, '0') + "1");
    EXPECT_EQ(variable.getFloatValue(), 0.0f);
    variable.setValue("-0." + std::string(400, '0') + "1e380");
    EXPECT_EQ(variable.getFloatValue(), -1e-21f);
    variable.setValue("nan(123)");
    EXPECT_TRUE(std::isnan(variable.getFloatValue()));
}

// A host or another module may switch the process to a locale whose decimal mark is a comma.
TEST_F(HostConsole, FloatValueIgnoresTheProcessLocale) {
    const char* commaLocales[] = {"fr_FR.UTF-8", "fr_FR.utf8", "de_DE.UTF-8", "French_France.1252", "French"};
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const char* chosen = nullptr;
    for (const char* name : commaLocales) {
        if (std::setlocale(LC_ALL, name) && *std::localeconv()->decimal_point == ',') {
            chosen = name;
            break;
        }
    }
    if (!chosen) {
        std::setlocale(LC_ALL, previous.c_str());
        GTEST_SKIP() << "no locale with a decimal comma is installed here";
    }
    CVarWrapper variable = console->registerCvar("probe", "1.0");
    variable.setValue("1.5");
    const float dotted = variable.getFloatValue();
    variable.setValue("1,5");
    const float commaed = variable.getFloatValue();
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(dotted, 1.5f) << chosen;
    EXPECT_EQ(commaed, 1.0f) << chosen;
}

TEST_F(HostConsole, EverySetRunsHandlersAfterTheChangeWithThePreviousValue) {
    CVarWrapper variable = console->registerCvar("probe", "first");
    std::vector<std::pair<std::string, std::string>> seen;  // previous, current
    variable.addOnValueChanged(
        [&](std::string previous, CVarWrapper changed) { seen.emplace_back(previous, changed.getStringValue()); });
    EXPECT_TRUE(host.execute("probe second").ok);
    EXPECT_TRUE(host.execute("probe second").ok);  // the same value is reported again
    variable.notify();
    const std::vector<std::pair<std::string, std::string>> expected{
        {"first", "second"}, {"second", "second"}, {"second", "second"}};
    EXPECT_EQ(seen, expected);
}

TEST_F(HostConsole, CommandLinesSetReportAndRejectWithoutChangingAnything) {
    console->registerCvar("probe", "1.0");
    EXPECT_TRUE(host.execute("probe \"two words\"").ok);
    EXPECT_EQ(host.variableValue("probe"), "two words");

    const auto reply = host.execute("probe");
    EXPECT_TRUE(reply.ok);
    EXPECT_EQ(reply.message, "probe \"two words\"");

    for (const char* bad : {"probe 1 2", "probe \"open", "nosuchthing 3", "togglemenu", "togglemenu nosuchmenu"}) {
        const auto result = host.execute(bad);
        EXPECT_FALSE(result.ok) << bad;
        EXPECT_FALSE(result.message.empty()) << bad;
    }
    EXPECT_EQ(host.variableValue("probe"), "two words");
    const auto log = host.consoleLog();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[2], "unknown command: nosuchthing");
    EXPECT_TRUE(host.execute("   ").ok);
}

TEST_F(HostConsole, TheLogKeepsItsLatestLinesWithinItsLineAndByteBudgets) {
    struct Flood {
        std::size_t lines;
        std::size_t bytesEach;
    };
    for (const Flood flood : {Flood{Host::kConsoleLogLines * 3, 8}, Flood{64, 256 * 1024}}) {
        Host flooded;
        for (std::size_t i = 0; i < flood.lines; ++i) {
            flooded.log(std::to_string(i) + std::string(flood.bytesEach, 'x'));
        }
        const auto log = flooded.consoleLog();
        std::size_t bytes = 0;
        for (const auto& line : log) bytes += line.size();
        // Copies: the host library on Windows exports no storage for its constants.
        EXPECT_LE(log.size(), std::size_t{Host::kConsoleLogLines}) << flood.bytesEach;
        EXPECT_LE(bytes, std::size_t{Host::kConsoleLogBytes}) << flood.bytesEach;
        ASSERT_GE(log.size(), 2u) << flood.bytesEach;
        EXPECT_TRUE(log.back().starts_with(std::to_string(flood.lines - 1) + "x")) << flood.bytesEach;
    }
}

TEST_F(HostConsole, RegisteringAnExistingNameKeepsItsValue) {
    console->registerCvar("probe", "1.0");
    host.execute("probe 7");
    CVarWrapper again = console->registerCvar("probe", "1.0");
    EXPECT_EQ(again.getStringValue(), "7");
    EXPECT_TRUE(console->getCvar("nothing").IsNull());
}

TEST_F(HostConsole, BoundsClampNumericValues) {
    console->registerCvar("bounded", "5", "", true, true, 0.0f, true, 10.0f);
    host.execute("bounded 42");
    EXPECT_EQ(host.variableValue("bounded"), "10");
    host.execute("bounded -3");
    EXPECT_EQ(host.variableValue("bounded"), "0");
    host.execute("bounded 2.5");
    EXPECT_EQ(host.variableValue("bounded"), "2.5");
}

struct HostConfig : HostConsole {
    testsupport::ScratchFolder folder{"host-config"};
    std::filesystem::path file = folder / "host.cfg";
};

TEST_F(HostConfig, ReadsTheWholeFileBeforeRunningItsLines) {
    std::ofstream(file, std::ios::binary) << "first \"1\"\r\nsecond \"2\"\n// comment\n\nthird\n";
    CVarWrapper first = console->registerCvar("first", "0");
    console->registerCvar("second", "0");
    // The handler truncates the file while the replay is under way, as a plugin saving does.
    first.addOnValueChanged([&](std::string, CVarWrapper) { std::ofstream(file, std::ios::trunc); });
    EXPECT_TRUE(host.loadConfig(file));
    EXPECT_EQ(host.variableValue("first"), "1");
    EXPECT_EQ(host.variableValue("second"), "2");
    EXPECT_EQ(host.consoleLog(), std::vector<std::string>{file.string() + ":5: unknown command: third"});
    EXPECT_FALSE(host.loadConfig(file.string() + ".missing"));
}

TEST_F(HostConsole, TimersFireOnceWhenTheClockPassesTheirDelay) {
    std::vector<std::string> fired;
    game->SetTimeout(
        [&](GameWrapper* wrapper) {
            EXPECT_EQ(wrapper, game.get());
            fired.push_back("late");
        },
        1.0f);
    game->SetTimeout([&](GameWrapper*) { fired.push_back("early"); }, 0.5f);
    host.advance(0.4);
    EXPECT_TRUE(fired.empty());
    host.advance(0.6);
    EXPECT_EQ(fired, (std::vector<std::string>{"early", "late"}));
    host.advance(5);
    EXPECT_EQ(fired.size(), 2u);
    host.advance(NAN);  // ignored
    EXPECT_DOUBLE_EQ(host.clock(), 6.0);
}

TEST_F(HostConsole, GameStateAndMatchHandles) {
    struct Expect {
        GameMode mode;
        bool inGame, online, training, onlineMatch, hostedMatch;
    };
    const Expect table[] = {
        {GameMode::Menu, false, false, false, false, false},
        {GameMode::LocalMatch, true, false, false, false, true},
        {GameMode::OnlineMatch, false, true, false, true, false},
        {GameMode::CustomTraining, true, false, true, false, true},
    };
    for (const auto& row : table) {
        host.setGameMode(row.mode);
        EXPECT_EQ(game->IsInGame(), row.inGame);
        EXPECT_EQ(game->IsInOnlineGame(), row.online);
        EXPECT_EQ(game->IsInCustomTraining(), row.training);
        EXPECT_EQ(!game->GetOnlineGame().IsNull(), row.onlineMatch);
        EXPECT_EQ(!game->GetGameEventAsServer().IsNull(), row.hostedMatch);
    }
    host.setGameMode(GameMode::OnlineMatch);
    ServerWrapper match = game->GetOnlineGame();
    EXPECT_EQ(match.GetbMatchEnded(), 0u);
    host.setMatchEnded(true);
    EXPECT_NE(match.GetbMatchEnded(), 0u);
}

TEST_F(HostConsole, KeyNamesResolveToPositiveIndicesAndReportHeldKeys) {
    for (const char* name :
         {"A", "Z", "One", "Zero", "F12", "Tab", "CapsLock", "LeftShift", "LeftControl", "LeftAlt", "SpaceBar",
          "Escape", "Enter", "LeftMouseButton", "MiddleMouseButton", "RightMouseButton"}) {
        EXPECT_GT(game->GetFNameIndexByString(name), 0) << name;
    }
    EXPECT_EQ(game->GetFNameIndexByString("a"), 0);
    EXPECT_EQ(game->GetFNameIndexByString("NoSuchKey"), 0);
    EXPECT_NE(Host::keyIndex("A"), Host::keyIndex("B"));

    EXPECT_TRUE(host.setKeyHeld("Q", true));
    EXPECT_FALSE(host.setKeyHeld("NoSuchKey", true));
    EXPECT_TRUE(game->IsKeyPressed(Host::keyIndex("Q")));
    EXPECT_FALSE(game->IsKeyPressed(Host::keyIndex("A")));
    EXPECT_FALSE(game->IsKeyPressed(0));
    EXPECT_FALSE(game->IsKeyPressed(-5));
    EXPECT_FALSE(game->IsKeyPressed(2147483647));
}

// A window that records what the host asks of it, and toggles itself from inside a frame.
struct RecordingWindow : BakkesMod::Plugin::PluginWindow {
    Host* host = nullptr;
    std::vector<std::string> calls;
    bool toggleWhileDrawing = false;
    void Render() override {
        calls.push_back("draw");
        if (toggleWhileDrawing) host->execute("togglemenu probe");
        calls.push_back("draw end");
    }
    std::string GetMenuName() override { return "probe"; }
    std::string GetMenuTitle() override { return "Probe"; }
    void SetImGuiContext(std::uintptr_t) override {}
    bool ShouldBlockInput() override { return false; }
    bool IsActiveOverlay() override { return false; }
    void OnOpen() override { calls.push_back("opened"); }
    void OnClose() override { calls.push_back("closed"); }
};

TEST_F(HostConsole, TogglesTakeEffectOnlyInsideTheDrawingPass) {
    RecordingWindow window;
    window.host = &host;
    host.addWindow(owner, &window);
    host.drawWindows();  // closed: not drawn
    EXPECT_TRUE(host.execute("togglemenu probe").ok);
    EXPECT_FALSE(host.isWindowOpen("probe"));  // until the drawing thread's next pass
    EXPECT_TRUE(window.calls.empty());
    window.toggleWhileDrawing = true;
    host.drawWindows();
    EXPECT_FALSE(host.isWindowOpen("probe"));
    EXPECT_EQ(window.calls, (std::vector<std::string>{"opened", "draw", "draw end", "closed"}));
}

TEST_F(HostConsole, WithdrawRemovesEverythingThePluginRegistered) {
    RecordingWindow window;
    host.addWindow(owner, &window);
    CVarWrapper variable = console->registerCvar("probe", "1");
    int handlerRuns = 0;
    int hookRuns = 0;
    int timerRuns = 0;
    variable.addOnValueChanged([&](std::string, CVarWrapper) { ++handlerRuns; });
    game->HookEvent("Tick", [&](std::string) { ++hookRuns; });
    game->SetTimeout([&](GameWrapper*) { ++timerRuns; }, 1.0f);

    host.withdraw(owner);
    host.fireEvent("Tick");
    host.advance(2);
    variable.setValue("2");  // a stale handle sets nothing
    EXPECT_EQ(handlerRuns + hookRuns + timerRuns, 0);
    EXPECT_FALSE(host.hasMenu("probe"));
    EXPECT_FALSE(host.variableValue("probe"));
    EXPECT_FALSE(host.execute("probe 3").ok);
    EXPECT_EQ(variable.getStringValue(), "");
}

TEST_F(HostConsole, JournalRecordsCallsWithTheirArguments) {
    host.clearJournal();
    CVarWrapper variable = console->registerCvar("probe", "1.0", "", true, false, 0.0f, false, 0.0f, true);
    variable.notify();
    game->SetTimeout([](GameWrapper*) {}, 1.0f);
    console->executeCommand("probe 2", true);
    const std::vector<sandbox::JournalEntry> expected{
        {"CVarManagerWrapper::registerCvar", {"probe", "1.0", "", "true", "false", "0", "false", "0", "true"}},
        {"CVarWrapper::notify", {"probe"}},
        {"GameWrapper::SetTimeout", {"<function>", "1"}},
        {"CVarManagerWrapper::executeCommand", {"probe 2", "true"}},
    };
    EXPECT_EQ(host.journal(), expected);
    host.setJournalEnabled(false);
    variable.notify();
    EXPECT_EQ(host.journal().size(), expected.size());
}

}  // namespace
