// The sandbox's session language and command line: what a line or an option means, and the one-line
// reason given for one that cannot be used.
#include <gtest/gtest.h>

#include "sandbox/commandline/cli_options.h"
#include "sandbox/session/language/session_command.h"
#include "sandbox/session/number_text.h"

using namespace sandbox::commandline;
using namespace sandbox::session;

namespace {

template <typename T>
T commandOf(std::string_view line) {
    const ParsedLine parsed = parseSessionLine(line);
    EXPECT_TRUE(parsed.error.empty()) << line << ": " << parsed.error;
    EXPECT_FALSE(parsed.empty) << line;
    const T* command = std::get_if<T>(&parsed.command);
    EXPECT_NE(command, nullptr) << line;
    return command ? *command : T{};
}

std::string errorOf(std::string_view line) { return parseSessionLine(line).error; }

}  // namespace

TEST(SessionLines, BlankLinesAndCommentsHoldNothing) {
    for (const char* line : {"", "   ", "\t", "# a comment", "   # indented comment", "\r"}) {
        const ParsedLine parsed = parseSessionLine(line);
        EXPECT_TRUE(parsed.empty) << '"' << line << '"';
        EXPECT_TRUE(parsed.error.empty()) << line;
    }
}

TEST(SessionLines, OtherWordsGoToTheHostConsoleTrimmedButOtherwiseVerbatim) {
    EXPECT_EQ(commandOf<ConsoleLine>("kvanescale 1.5").text, "kvanescale 1.5");
    EXPECT_EQ(commandOf<ConsoleLine>("  A   Q  # rebind").text, "A   Q");
    EXPECT_EQ(commandOf<ConsoleLine>("kvanescale \"#2\" # quoted").text, "kvanescale \"#2\"");
    EXPECT_EQ(commandOf<ConsoleLine>("togglemenu keyvane\r").text, "togglemenu keyvane");
    EXPECT_EQ(commandOf<ConsoleLine>("kvanetransparency \"0.5\"").text, "kvanetransparency \"0.5\"");
    EXPECT_EQ(commandOf<ConsoleLine>("kvanescale").text, "kvanescale");
}

TEST(SessionLines, GameAndMatchTakeOneKnownWord) {
    EXPECT_EQ(commandOf<SetGame>("game menu").mode, sandbox::GameMode::Menu);
    EXPECT_EQ(commandOf<SetGame>("game local").mode, sandbox::GameMode::LocalMatch);
    EXPECT_EQ(commandOf<SetGame>("game online").mode, sandbox::GameMode::OnlineMatch);
    EXPECT_EQ(commandOf<SetGame>("game training").mode, sandbox::GameMode::CustomTraining);
    EXPECT_FALSE(commandOf<SetMatch>("match running").ended);
    EXPECT_TRUE(commandOf<SetMatch>("match ended").ended);
    EXPECT_EQ(errorOf("game ranked"), "game takes one of menu, local, online, training, got 'ranked'");
    EXPECT_NE(errorOf("game"), "");
    EXPECT_NE(errorOf("game online local"), "");
    EXPECT_EQ(errorOf("match paused"), "match takes one of running, ended, got 'paused'");
}

TEST(SessionLines, HoldAndReleaseKeepEveryKeyName) {
    const SetKeys hold = commandOf<SetKeys>("hold A LeftMouseButton\tSpaceBar");
    EXPECT_TRUE(hold.held);
    EXPECT_EQ(hold.names, (std::vector<std::string>{"A", "LeftMouseButton", "SpaceBar"}));
    const SetKeys release = commandOf<SetKeys>("release Q");
    EXPECT_FALSE(release.held);
    EXPECT_EQ(release.names, std::vector<std::string>{"Q"});
    EXPECT_NE(errorOf("hold"), "");
    EXPECT_NE(errorOf("release  # nothing"), "");
}

TEST(SessionLines, TickAndFrameCountDefaultToOneAndMustBeWholeNumbers) {
    EXPECT_EQ(commandOf<Tick>("tick").count, 1);
    EXPECT_EQ(commandOf<Tick>("tick 0").count, 0);
    EXPECT_EQ(commandOf<Tick>("tick 120").count, 120);
    EXPECT_EQ(commandOf<DrawFrames>("frame").count, 1);
    EXPECT_EQ(commandOf<DrawFrames>("frame 1000000").count, 1000000);
    EXPECT_EQ(errorOf("tick -1"), "tick: expected a whole number from 0 to 1000000, got '-1'");
    for (const char* bad : {"tick 1.5", "tick 1e3", "tick x", "tick +3", "tick 0x10", "frame 1000001",
                            "frame 99999999999999999999", "tick 1 2"}) {
        EXPECT_NE(errorOf(bad), "") << bad;
    }
}

TEST(SessionLines, WaitTakesAFiniteNonNegativeNumberOfSeconds) {
    EXPECT_DOUBLE_EQ(commandOf<Wait>("wait 1.5").seconds, 1.5);
    EXPECT_DOUBLE_EQ(commandOf<Wait>("wait 0").seconds, 0.0);
    EXPECT_DOUBLE_EQ(commandOf<Wait>("wait 2e-1").seconds, 0.2);
    EXPECT_DOUBLE_EQ(commandOf<Wait>("wait 3600").seconds, 3600.0);
    EXPECT_EQ(errorOf("wait nan"), "wait: expected a number from 0 to 3600, got 'nan'");
    for (const char* bad : {"wait", "wait -1", "wait inf", "wait infinity", "wait 1e400", "wait 3600.5", "wait 1,5",
                            "wait 1.5s", "wait 0x1p3", "wait 1 2", "wait ."}) {
        EXPECT_NE(errorOf(bad), "") << bad;
    }
}

TEST(SessionLines, DragTakesTwoFinitePixelDistances) {
    const Drag drag = commandOf<Drag>("drag 200 -50.5");
    EXPECT_FLOAT_EQ(drag.dx, 200.0f);
    EXPECT_FLOAT_EQ(drag.dy, -50.5f);
    for (const char* bad : {"drag", "drag 10", "drag 1 2 3", "drag nan 0", "drag 0 -inf", "drag 1e6 0"}) {
        EXPECT_NE(errorOf(bad), "") << bad;
    }
}

TEST(SessionLines, SnapshotNeedsOnePngNameThenTakesTheWindowAndAZoom) {
    EXPECT_EQ(commandOf<Snapshot>("snapshot out/a.png").file, "out/a.png");
    const Snapshot window = commandOf<Snapshot>("snapshot a.png --zoom 8 --window");
    EXPECT_TRUE(window.window);
    EXPECT_EQ(window.zoom, 8);
    EXPECT_EQ(commandOf<Snapshot>("snapshot a.png").zoom, 1);
    EXPECT_EQ(errorOf("snapshot a.png --zoom 9"), "snapshot --zoom: expected a whole number from 1 to 8, got '9'");
    for (const char* bad :
         {"snapshot a.png --zoom", "snapshot a.png --zoom 0", "snapshot a.png --zoom 1.5", "snapshot a.png --frame"}) {
        EXPECT_NE(errorOf(bad), "") << bad;
    }
    EXPECT_EQ(errorOf("snapshot out/a.jpg"), "snapshot writes PNG files: the name must end in .png, got 'out/a.jpg'");
    EXPECT_NE(errorOf("snapshot"), "");
    EXPECT_NE(errorOf("snapshot .png"), "");
    EXPECT_NE(errorOf("snapshot a.png b.png"), "");
}

TEST(SessionLines, RecordStartsWithOneGifNameAndEndsWithStop) {
    EXPECT_EQ(commandOf<StartRecording>("record out/demo.gif").file, "out/demo.gif");
    EXPECT_EQ(commandOf<StartRecording>("record stop.gif").file, "stop.gif");
    commandOf<StopRecording>("record stop  # the end");
    EXPECT_EQ(errorOf("record out/a.png"),
              "record writes animated GIF files: the name must end in .gif, got 'out/a.png'");
    EXPECT_NE(errorOf("record"), "");
    EXPECT_NE(errorOf("record .gif"), "");
    EXPECT_NE(errorOf("record a.gif b.gif"), "");
    EXPECT_NE(errorOf("record stop now"), "");
    const auto window = commandOf<StartRecording>("record a.gif --window --zoom 3");
    EXPECT_TRUE(window.window);
    EXPECT_EQ(window.zoom, 3);
    EXPECT_FALSE(commandOf<StartRecording>("record a.gif").window);
    EXPECT_NE(errorOf("record a.gif --zoom 9"), "");
}

TEST(SessionLines, LoadAndUnloadTakeNoArguments) {
    EXPECT_TRUE(std::holds_alternative<LoadModule>(parseSessionLine("load").command));
    EXPECT_TRUE(std::holds_alternative<UnloadModule>(parseSessionLine("unload  # bye").command));
    EXPECT_EQ(errorOf("load other.so"), "load takes no arguments");
    EXPECT_EQ(errorOf("unload now"), "unload takes no arguments");
}

TEST(Numbers, ScreenSizesAreTwoWholeSidesWithinLimits) {
    const auto size = readScreenSize("1920x1080");
    ASSERT_TRUE(size);
    EXPECT_EQ(size.value.width, 1920);
    EXPECT_EQ(size.value.height, 1080);
    EXPECT_TRUE(readScreenSize("16x8192"));
    for (const char* bad :
         {"", "1280", "1280x", "x720", "15x720", "1280x8193", "1280X720", "-1x5", "1280x720x3", " 1280x720"}) {
        EXPECT_FALSE(readScreenSize(bad)) << bad;
    }
}

TEST(Numbers, DecimalsAreReadInTheCLocaleWhateverTheProcessLocale) {
    EXPECT_DOUBLE_EQ(readDecimal("0.75", 0, 1).value, 0.75);
    EXPECT_DOUBLE_EQ(readDecimal("-20", -100, 100).value, -20.0);
    EXPECT_FALSE(readDecimal("0,75", 0, 1));
    EXPECT_FALSE(readDecimal("1.0000001", 0, 1));  // just above the maximum
}

namespace {

CliParse parse(std::vector<std::string> words) { return parseCommandLine(words); }

}  // namespace

TEST(CommandLine, RenderTakesItsSettingsAsTypedAndItsKeysByGameName) {
    const CliParse read = parse({"render", "--scale", "0.75", "--hold", "A,LeftMouseButton", "--out", "x.png",
                                 "--transparency=0.5", "--screen", "800x600", "--home", "h"});
    ASSERT_EQ(read.error, "");
    EXPECT_EQ(read.options.command, Command::Render);
    EXPECT_EQ(read.options.scale, "0.75");
    EXPECT_EQ(read.options.transparency, "0.5");
    EXPECT_EQ(read.options.hold, (std::vector<std::string>{"A", "LeftMouseButton"}));
    EXPECT_EQ(read.options.out, "x.png");
    EXPECT_EQ(read.options.screen.width, 800);
    EXPECT_EQ(read.options.home, "h");
    EXPECT_FALSE(read.options.module.has_value());
    EXPECT_FALSE(read.options.window);
    const CliParse window = parse({"render", "--out", "x.png", "--window", "--zoom=2"});
    ASSERT_EQ(window.error, "");
    EXPECT_TRUE(window.options.window);
    EXPECT_EQ(window.options.zoom, 2);
    EXPECT_NE(parse({"render", "--out", "x.png", "--zoom", "9"}).error, "");
    EXPECT_NE(parse({"run", "a.session", "--window"}).error, "");
}

TEST(CommandLine, MistakesAreNamedInOneLine) {
    EXPECT_EQ(parse({"render", "--out", "x.png", "--hold", "A,Shift"}).error,
              "--hold: unknown key name 'Shift' (did you mean LeftShift?)");
    EXPECT_EQ(parse({"render"}).error, "render needs --out FILE.png");
    EXPECT_EQ(parse({"run"}).error, "run needs a script file, e.g. keyvane-sandbox run examples/demo.session ('-' "
                                    "reads standard input)");
    EXPECT_EQ(parse({"fly"}).error,
              "unknown command 'fly': the commands are run, render, console, live, keys (see --help)");
    EXPECT_EQ(parse({"hold"}).error, "unknown command 'hold'"
                                     ": the commands are run, render, console, live, keys (see --help); 'hold' is a "
                                     "line of a session script or the console (keyvane-sandbox help hold)");
    EXPECT_EQ(parse({"rendr"}).error, "unknown command 'rendr' (did you mean render?): the commands are run, render, "
                                      "console, live, keys (see --help)");
    EXPECT_EQ(parse({"run", "a.session", "--out", "x.png"}).error,
              "unknown option '--out' for run (see keyvane-sandbox run --help)");
    EXPECT_EQ(parse({"render", "--scael", "2"}).error, "unknown option '--scael' for render (did you mean --scale?)");
    EXPECT_EQ(parse({"keys", "--foo"}).error, "unknown option '--foo' for keys (see keyvane-sandbox keys --help)");
    EXPECT_EQ(parse({"version", "--foo"}).error, "--version takes nothing after it");
    EXPECT_EQ(parse({"console", "--trace=yes"}).error, "--trace takes no value");
    EXPECT_EQ(parse({"console", "--home"}).error, "option --home needs a value");
    EXPECT_EQ(parse({"--home", "h"}).error, "options go after the command: keyvane-sandbox COMMAND [OPTIONS], e.g. "
                                            "keyvane-sandbox run s.session --home ...");
    EXPECT_NE(parse({"render", "--out", "x.jpg"}).error, "");
    EXPECT_NE(parse({"render", "--out", "x.png", "--scale", "inf"}).error, "");
    EXPECT_NE(parse({"render", "--out", "x.png", "--hold", "A,"}).error, "");
    EXPECT_NE(parse({"run", "a.session", "b.session"}).error, "");
    EXPECT_NE(parse({"live", "--rate", "0"}).error, "");
}

TEST(CommandLine, VersionKeysAndTraceAreWordsWithoutValues) {
    EXPECT_EQ(parse({"--version"}).options.command, Command::Version);
    EXPECT_EQ(parse({"version"}).options.command, Command::Version);
    EXPECT_NE(parse({"--version", "run"}).error, "");
    EXPECT_EQ(parse({"keys"}).options.command, Command::Keys);
    EXPECT_EQ(parse({"keys", "--home", "h"}).options.home, "h");
    EXPECT_NE(parse({"keys", "--rate", "30"}).error, "");
    for (const char* command : {"run", "console", "live"}) {
        std::vector<std::string> words{command, "--trace", "--rate", "30"};
        if (std::string(command) == "run") words.push_back("a.session");
        const CliParse read = parse(words);
        EXPECT_EQ(read.error, "") << command;
        EXPECT_TRUE(read.options.trace) << command;
        EXPECT_EQ(read.options.rate, 30.0) << command;
    }
    EXPECT_FALSE(parse({"console"}).options.trace);
    EXPECT_TRUE(parse({"render", "--out", "x.png", "--trace"}).options.trace);
    // Options before the command are read as if they followed it.
    const CliParse before = parse({"--home", "h", "--trace", "--rate=30", "run", "-"});
    ASSERT_EQ(before.error, "");
    EXPECT_EQ(before.options.command, Command::Run);
    EXPECT_EQ(before.options.home, "h");
    EXPECT_TRUE(before.options.trace);
    EXPECT_EQ(before.options.rate, 30.0);
    EXPECT_EQ(before.options.script, "-");
}

TEST(CommandLine, HelpIsReachableFromEveryCommand) {
    EXPECT_EQ(parse({}).options.command, Command::Help);
    EXPECT_EQ(parse({"--help"}).options.helpTopic, "");
    EXPECT_EQ(parse({"help", "render"}).options.helpTopic, "render");
    const CliParse fromCommand = parse({"live", "--screen", "800x600", "--help"});
    EXPECT_EQ(fromCommand.options.command, Command::Help);
    EXPECT_EQ(fromCommand.options.helpTopic, "live");
    EXPECT_NE(parse({"help", "fly"}).error, "");
    // The session's words and the language as a whole have help too; a near miss gets a hint.
    for (const char* topic : {"hold", "snapshot", "language", "session"}) {
        EXPECT_EQ(parse({"help", topic}).error, "") << topic;
    }
    EXPECT_EQ(parse({"help", "hodl"}).error.rfind("no help on 'hodl' (did you mean hold?)", 0), 0u);
}
