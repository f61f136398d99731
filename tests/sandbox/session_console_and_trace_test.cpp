// The console's line loop (help, quit, messages that follow their line) and the host-call trace
// that --trace prints, fed by the host journal's listener.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <sstream>

#include "sandbox/session/host_trace.h"
#include "sandbox/session/input/line_input.h"
#include "sandbox/session/language/session_help.h"
#include "sandbox/session/line_loop.h"
#include "sandbox/session/progress_line.h"
#include "sandbox/session/session.h"
#include "support/plugin_session.h"

using namespace sandbox::session;

namespace {

// A console whose commands only echo, so the loop itself is what is seen.
struct EchoConsole {
    std::vector<std::string> ran;
    std::ostringstream both;  // replies and errors in the order the user sees them
    int status = -1;
    bool quit = false;

    void run(const std::string& text, LineMode mode = LineMode::Console) {
        std::istringstream stream(text);
        StreamLineInput input(stream, mode == LineMode::Script);
        const LineAction echo = [this](const SessionCommand& command) -> std::string {
            if (const auto* line = std::get_if<ConsoleLine>(&command)) {
                ran.push_back(line->text);
                if (line->text == "bad") throw CommandError("no such thing");
                return "ok " + line->text;
            }
            return "";
        };
        status = runLines(input, "<stdin>", mode, echo, "HELP\n", both, both, &quit);
    }
};

}  // namespace

TEST(ConsoleLoop, EveryMessageNamesItsLineAndFollowsIt) {
    EchoConsole console;
    console.run("first\n\n# note\nbad\nhold\nlast\n");
    EXPECT_EQ(console.both.str(), "ok first\n"
                                  "<stdin>:4: no such thing\n"
                                  "<stdin>:5: hold needs at least one key name, e.g. 'hold A LeftMouseButton'\n"
                                  "ok last\n");
    EXPECT_EQ(console.status, kExitBadInput);
    EXPECT_FALSE(console.quit);
}

TEST(ConsoleLoop, ALineOverTheLimitIsRefusedAndTheConsoleGoesOnWithTheNext) {
    const std::string longest(kMaxLineBytes, 'x');
    const std::string text = "first\n" + longest + "y\n" + longest + "\nlast";
    EchoConsole console;
    console.run(text);
    EXPECT_EQ(console.ran, (std::vector<std::string>{"first", longest, "last"}));
    EXPECT_NE(console.both.str().find("ok first\n<stdin>:2: line too long (1048577 bytes; the limit is 1 MiB)\nok x"),
              std::string::npos);
    EXPECT_EQ(console.status, kExitBadInput);
    // A script stops at the limit rather than read an endless line to its end.
    EchoConsole script;
    script.run(text, LineMode::Script);
    EXPECT_EQ(script.both.str(), "ok first\n<stdin>:2: line too long (more than 1048576 bytes; the limit is 1 MiB)\n");
}

TEST(ProgressLine, ShowsAfterTwoSecondsOnItsTerminalRewritingOneLineAndClearsIt) {
    double now = 0;
    const ProgressLine::Clock clock = [&now] { return now; };
    std::ostringstream terminal;
    {
        ProgressLine progress(&terminal, "wait", 3600, clock);
        ProgressLine silent(nullptr, "wait", 3600, clock);  // standard error is not a terminal
        for (const double at : {1.0, 2.5, 2.6, 3.0}) {
            now = at;
            progress.update(at * 2, static_cast<long>(at * 60));
            silent.update(at * 2, static_cast<long>(at * 60));
        }
        EXPECT_EQ(terminal.str(), "\rwait: 5.0 of 3600 game seconds, 150 frames, 60 frames a second"
                                  "\rwait: 6.0 of 3600 game seconds, 180 frames, 60 frames a second");
    }
    EXPECT_EQ(terminal.str().substr(terminal.str().size() - 64), "\r" + std::string(62, ' ') + "\r");
}

TEST(ConsoleLoop, HelpPrintsTheLanguageAndQuitOrExitEndsTheInput) {
    EchoConsole console;
    // A byte-order mark an editor left before the first line is not part of its first word.
    console.run("\xEF\xBB\xBFhelp\nfirst\nhelp hold\nhelp hodl\n  quit  # done\nnever\n");
    std::string holdHelp;
    ASSERT_TRUE(wordHelp("hold", holdHelp));
    EXPECT_EQ(console.both.str(),
              "HELP\nok first\n" + holdHelp + "<stdin>:4: no help on 'hodl' (did you mean hold?)\n");
    EXPECT_EQ(console.ran, std::vector<std::string>{"first"});
    EXPECT_EQ(console.status, kExitBadInput);  // the help asked for a word there is none of
    EXPECT_TRUE(console.quit);

    EchoConsole exiting;
    exiting.run("exit\nnever\n");
    EXPECT_TRUE(exiting.ran.empty());
    EXPECT_TRUE(exiting.quit);

    // "quit" with more words is not the console's: it goes to the host like any other line.
    EchoConsole host;
    host.run("quit now\n");
    EXPECT_EQ(host.ran, std::vector<std::string>{"quit now"});
    EXPECT_FALSE(host.quit);
}

TEST(ConsoleLoop, AScriptStopsAtItsFirstBadLine) {
    EchoConsole script;
    script.run("first\nbad\nlast\n", LineMode::Script);
    EXPECT_EQ(script.ran, (std::vector<std::string>{"first", "bad"}));
    EXPECT_EQ(script.both.str(), "ok first\n<stdin>:2: no such thing\n");
}

// Whether word stands in text as a word of its own: "load" inside "unload" does not count.
bool namesWord(std::string_view text, std::string_view word) {
    const auto isWordByte = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
    for (auto at = text.find(word); at != std::string_view::npos; at = text.find(word, at + 1)) {
        const bool startsWord = at == 0 || !isWordByte(text[at - 1]);
        const auto after = at + word.size();
        if (startsWord && (after == text.size() || !isWordByte(text[after]))) return true;
    }
    return false;
}

TEST(ConsoleLoop, TheHelpTextsNameEveryCommandTheyAccept) {
    for (const char* word : {"kvanescale", "game", "match", "hold", "release", "tick", "frame", "wait", "drag",
                             "snapshot", "record", "unload", "load", "help", "quit", "exit"}) {
        EXPECT_TRUE(namesWord(sessionHelpText(), word)) << word;
    }
    for (const char* word : {"kvanescale", "game", "match", "help", "quit"}) {
        EXPECT_TRUE(namesWord(liveHelpText(), word)) << word;
    }
    EXPECT_EQ(liveHelpText().find("snapshot"), std::string_view::npos);
    // Every keyword has help and a reading of its own; the table says what a live window runs.
    for (const auto keyword : sessionKeywords()) {
        std::string text;
        EXPECT_TRUE(wordHelp(keyword, text)) << keyword;
        EXPECT_EQ(parseSessionLine(keyword).error.find("no reading"), std::string::npos) << keyword;
        EXPECT_NE(languageHelp().find(text), std::string::npos) << keyword;
    }
    EXPECT_TRUE(runsLive(SetGame{sandbox::GameMode::Menu}));
    EXPECT_TRUE(runsLive(ConsoleLine{"kvanescale 2"}));
    EXPECT_FALSE(runsLive(SetKeys{{"A"}, false}));
    EXPECT_FALSE(runsLive(StopRecording{}));
}

TEST(HostTrace, CallsReadWithQuotedTextsKeyNamesAndTheVariableTheyAreOn) {
    using sandbox::JournalEntry;
    EXPECT_EQ(HostTrace::describe({"CVarManagerWrapper::registerCvar",
                                   {"kvanescale", "1.0", "", "true", "false", "0", "false", "0", "true"}}),
              "trace: CVarManagerWrapper::registerCvar(\"kvanescale\", \"1.0\", \"\", true, false, 0, false, 0, true)");
    EXPECT_EQ(HostTrace::describe({"GameWrapper::IsKeyPressed", {std::to_string(sandbox::Host::keyIndex("A"))}}),
              "trace: GameWrapper::IsKeyPressed(" + std::to_string(sandbox::Host::keyIndex("A")) + " = A)");
    EXPECT_EQ(HostTrace::describe({"GameWrapper::IsKeyPressed", {"7"}}), "trace: GameWrapper::IsKeyPressed(7)");
    EXPECT_EQ(HostTrace::describe({"CVarWrapper::setValue", {"kvanescale", "0.5"}}),
              "trace: CVarWrapper::setValue(\"0.5\") on kvanescale");
    EXPECT_EQ(HostTrace::describe({"CVarWrapper::notify", {"A"}}), "trace: CVarWrapper::notify() on A");
    EXPECT_EQ(HostTrace::describe({"GameWrapper::IsInGame", {}}), "trace: GameWrapper::IsInGame()");
}

TEST(HostTrace, FollowsEveryCallAsItHappensWithTheJournalOff) {
    testsupport::PluginSession session;
    session.host.setJournalEnabled(false);
    std::ostringstream printed;
    HostTrace trace(printed);
    trace.follow(session.host);
    session.load();
    EXPECT_TRUE(session.host.journal().empty());
    const std::string afterLoad = printed.str();
    EXPECT_EQ(afterLoad.rfind("trace: CVarManagerWrapper::registerCvar(\"kvanescale\", \"1.0\"", 0), 0u) << afterLoad;
    // Seven calls per watched key and four for the two settings, then the timer and the hook.
    EXPECT_EQ(std::count(afterLoad.begin(), afterLoad.end(), '\n'), 4 + 28 * 7 + 2);
    EXPECT_NE(afterLoad.find("trace: GameWrapper::HookEvent(\"Function Engine.GameViewportClient.Tick\", "
                             "<function>)\n"),
              std::string::npos);

    session.host.setGameMode(sandbox::GameMode::OnlineMatch);
    session.host.fireEvent(testsupport::kTickEvent);
    EXPECT_NE(printed.str().find("GameWrapper::IsKeyPressed(" + std::to_string(sandbox::Host::keyIndex("LeftShift")) +
                                 " = LeftShift)\n"),
              std::string::npos);

    // With the listener gone the host prints nothing more.
    session.host.setJournalListener(nullptr);
    const std::size_t before = printed.str().size();
    session.host.fireEvent(testsupport::kTickEvent);
    EXPECT_EQ(printed.str().size(), before);
}
