// Hostile files and processes that need Linux to make: links, file modes, a FIFO or a link to a
// device where the configuration file should be, a full disk, a comma locale, keyvane-sandbox showing
// the replay's errors, and processes saving at once or killed at random moments while they save.
// Nothing may block, read without end, or leave anything but a complete file.
#include <cctype>
#include <chrono>
#include <memory>
#include <random>
#include <set>
#include <string_view>
#include <thread>

#include <gtest/gtest.h>

#include "plugin/SettingsFile.h"
#include "sandbox_program.h"
#include "support/plugin_session.h"
#include "support/posix_process.h"
#include "support/save_case.h"

namespace {

using testsupport::ChildProcess;
using testsupport::PluginSession;
using testsupport::readFile;
using testsupport::writeFile;

const std::string kValidFile = "kvanescale \"2.000000\"\nkvanetransparency \"0.500000\"\n";

// One "%f" number at the start of text: an optional minus, digits, a point, six digits.
std::size_t fixedNumberLength(std::string_view text) {
    std::size_t at = text.starts_with('-') ? 1 : 0;
    const std::size_t digits = at;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) ++at;
    if (at == digits || at + 7 > text.size() || text[at] != '.') return 0;
    for (std::size_t i = at + 1; i < at + 7; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return 0;
    }
    return at + 7;
}

// A complete file as saveSettings writes it: the two lines, nothing else.
bool isCompleteSettingsFile(const std::optional<std::string>& content) {
    if (!content) return false;
    std::string_view rest(*content);
    for (std::string_view name : {"kvanescale \"", "kvanetransparency \""}) {
        if (!rest.starts_with(name)) return false;
        rest.remove_prefix(name.size());
        const std::size_t length = fixedNumberLength(rest);
        if (length == 0 || rest.substr(length, 2) != "\"\n") return false;
        rest.remove_prefix(length + 2);
    }
    return rest.empty();
}

// Runs body in a child process; true if it passed its own expectations within the time.
::testing::AssertionResult passesWithin(std::chrono::milliseconds limit, const std::function<void()>& body) {
    ChildProcess child([&] {
        body();
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    });
    const auto status = child.waitWithin(limit);
    if (!status) return ::testing::AssertionFailure() << "still running after " << limit.count() << " ms";
    if (*status != 0) return ::testing::AssertionFailure() << "failed in the child (status " << *status << ")";
    return ::testing::AssertionSuccess();
}

// --- saving as the player --------------------------------------------------------------------------

namespace fs = std::filesystem;
using testsupport::SaveCase;

const std::string kConfigEntry = "bakkesmod/cfg/keyvane.cfg";

class SavedAsThePlayerOnLinux : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SavedAsThePlayerOnLinux, ChangesOnlyWhatAPlainWriteWouldHave) { testsupport::checkSaveAsPlayer(GetParam()); }

// The settings file with the given mode.
auto fileWithMode(fs::perms mode) {
    return [mode](const fs::path& home) {
        writeFile(home / kConfigEntry, kValidFile);
        fs::permissions(home / kConfigEntry, mode);
    };
}

// A link at the settings file's place.
auto linkTo(const std::string& target) {
    return [target](const fs::path& home) { fs::create_symlink(target, home / kConfigEntry); };
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, SavedAsThePlayerOnLinux,
    ::testing::Values(
        // Unreadable at load: its settings must still be there for the next load that can read them.
        SaveCase{"UnreadableFile", fileWithMode(fs::perms::none), 1.0f, {}, {}},
        SaveCase{"WriteOnlyFile", fileWithMode(fs::perms::owner_write), 1.0f, {}, {}},
        SaveCase{"PrivateFile", fileWithMode(fs::perms::owner_read | fs::perms::owner_write), 2.0f, {kConfigEntry}, {}},
        SaveCase{"HardLinked",
                 [](const fs::path& home) {
                     writeFile(home / kConfigEntry, kValidFile);
                     fs::create_hard_link(home / kConfigEntry, home / "bakkesmod/cfg/keyvane-backup.cfg");
                 },
                 2.0f,
                 {kConfigEntry, "bakkesmod/cfg/keyvane-backup.cfg"},
                 {}},
        // Two links long, to a folder that holds the player's own "real.cfg.new" folder and a file
        // of the player's named like the old temporary beside the link.
        SaveCase{"LinkChain",
                 [](const fs::path& home) {
                     fs::create_directories(home / "elsewhere/real.cfg.new");
                     writeFile(home / "elsewhere/real.cfg", kValidFile);
                     writeFile(home / "bakkesmod/cfg/keyvane.cfg.new", "the player's");
                     fs::create_symlink("elsewhere/real.cfg", home / "hop");
                     linkTo("../../hop")(home);
                 },
                 2.0f,
                 {"elsewhere/real.cfg"},
                 {}},
        SaveCase{"DanglingLink",
                 [](const fs::path& home) {
                     fs::create_directories(home / "elsewhere");
                     linkTo("../../elsewhere/new.cfg")(home);
                 },
                 1.0f,
                 {"elsewhere/new.cfg"},
                 {}},
        SaveCase{"LinkToDevNull", linkTo("/dev/null"), 1.0f, {}, {}},
        SaveCase{"LinkToDevZero", linkTo("/dev/zero"), 1.0f, {}, {}},
        SaveCase{"LinkToDevFull", linkTo("/dev/full"), 1.0f, {}, {}},
        SaveCase{"Fifo",
                 [](const fs::path& home) { ASSERT_TRUE(testsupport::makeFifo(home / kConfigEntry)); },
                 1.0f,
                 {},
                 {}},
        SaveCase{"ReadOnlyFolder",
                 [](const fs::path& home) {
                     writeFile(home / kConfigEntry, kValidFile);
                     fs::permissions(home / "bakkesmod/cfg", fs::perms::owner_read | fs::perms::owner_exec);
                 },
                 2.0f,
                 {kConfigEntry},
                 {}},
        // Named like a leftover temporary, but a link: a save never makes one, so it stays.
        SaveCase{"LinkNamedLikeATemporary",
                 [](const fs::path& home) {
                     writeFile(home / "target", "the player's");
                     fs::create_symlink("../../target", home / "bakkesmod/cfg/keyvane.cfg.4242-0123456789abcdef.tmp");
                 },
                 1.0f,
                 {kConfigEntry},
                 {}}),
    [](const ::testing::TestParamInfo<SaveCase>& tried) { return tried.param.name; });

TEST(HostReplayOfDevices, RefusesAtOnceWithOneError) {
    sandbox::Host host;
    EXPECT_FALSE(host.loadConfig("/dev/zero"));
    EXPECT_FALSE(host.loadConfig("/dev/full"));
    EXPECT_EQ(host.consoleLog(),
              (std::vector<std::string>{"/dev/zero: not a regular file", "/dev/full: not a regular file"}));
}

TEST(SaveTemporary, IsNeverMadeThroughALink) {
    testsupport::ScratchFolder folder;
    writeFile(folder / "target", "the player's");
    fs::create_symlink(folder / "target", folder / "link");
    fs::create_symlink(folder / "nothing", folder / "dangling");
    EXPECT_FALSE(settingsfile::writeNewFile(folder / "link", "new"));
    EXPECT_FALSE(settingsfile::writeNewFile(folder / "dangling", "new"));
    EXPECT_EQ(readFile(folder / "target"), "the player's");
    EXPECT_FALSE(fs::exists(folder / "nothing"));
}

// --- a file that cannot be written ------------------------------------------------------------------

TEST(FullDisk, SavingFailsSilentlyAndTheOldFileStaysWhole) {
    PluginSession session;
    writeFile(session.home.configFile(), kValidFile);
    EXPECT_TRUE(passesWithin(std::chrono::seconds(10), [&] {
        testsupport::limitFileSize(20);  // the first line fits, the second does not
        session.load();
        EXPECT_EQ(session.keyvane().scale.load(), 2.0f);
        ASSERT_TRUE(session.host.execute("kvanescale 7").ok);
        EXPECT_EQ(session.keyvane().scale.load(), 7.0f);
        session.unload();
    }));
    EXPECT_EQ(readFile(session.home.configFile()), kValidFile);
    EXPECT_EQ(std::distance(fs::directory_iterator(session.home.configFile().parent_path()), fs::directory_iterator()),
              1);
}

// --- the process's locale -----------------------------------------------------------------------------

TEST(CommaLocale, TheFileStillHoldsDecimalPoints) {
    PluginSession session;
    if (!testsupport::useCommaLocaleFrom(session.home.root() / "locales") || !std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        GTEST_SKIP() << "no de_DE locale can be built here";
    }
    char probe[32];
    std::snprintf(probe, sizeof probe, "%f", 1.5);
    ASSERT_STREQ(probe, "1,500000");  // the locale is in force
    session.load();
    ASSERT_TRUE(session.host.execute("kvanescale 1.5").ok);
    ASSERT_TRUE(session.host.execute("kvanetransparency 0.25").ok);
    EXPECT_EQ(readFile(session.home.configFile()), "kvanescale \"1.500000\"\nkvanetransparency \"0.250000\"\n");
    session.unload();
    session.load();
    EXPECT_EQ(session.keyvane().scale.load(), 1.5f);
    std::setlocale(LC_ALL, "C");
}

// --- keyvane-sandbox shows the replay -----------------------------------------------------------------

TEST(SandboxConsoleLog, TheReplaysErrorsReachStandardErrorAsTheyHappen) {
    sandbox_test::ScratchFolder folder;
    std::filesystem::create_directories(folder / "home/bakkesmod/cfg");
    sandbox_test::writeText(folder / "home/bakkesmod/cfg/keyvane.cfg",
                            "\xEF\xBB\xBFkvanescale \"0.500000\"\r\nbogus 1\r\nkvanetransparency \"0.250000\"\r\n");
    sandbox_test::writeText(folder / "s.session", "kvanescale\nnosuch 2\n");
    const auto run = sandbox_test::runSandbox({"run", "s.session", "--home", "home"}, folder.path());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "kvanescale \"0.500000\"\n");
    // The replay's own error first, then the script's, each once.
    EXPECT_EQ(run.err, "./bakkesmod/cfg/keyvane.cfg:2: unknown command: bogus\n"
                       "s.session:2: unknown command: nosuch\n");
}

// --- processes saving at once, and killed while saving -------------------------------------------

// A process of its own that loads the plugin and saves in a loop, `rounds` times and then unloads, or
// until it is killed (rounds 0); it signals after its first two saves. Writer 1's values end in 25,
// writer 2's in 75.
void saveInALoop(int writer, long rounds, testsupport::ReadySignal& saving, bool asPlayer) {
    if (asPlayer && !testsupport::dropToPlayer()) ::_exit(3);
    sandbox::Host host;
    host.setJournalEnabled(false);
    auto module = sandbox::PluginModule::load(host, KEYVANE_MODULE_PATH, nullptr);
    const std::string fraction = writer == 1 ? ".25" : ".75";
    for (long i = 0; rounds == 0 || i < rounds; ++i) {
        host.execute("kvanescale " + std::to_string(i % 1000) + fraction);
        host.execute("kvanetransparency 0." + std::to_string(i % 10) + fraction.substr(1));
        if (i == 0) saving.signal();
    }
    module.reset();
    ::_exit(0);
}

TEST(TwoProcessesSaving, AReaderBesideThemSeesOnlyWholeFilesAndTheLastSaveOfOneRemains) {
    PluginSession session;
    writeFile(session.home.configFile(), kValidFile);
    testsupport::ReadySignal firstSaving, secondSaving;
    ChildProcess first([&] { saveInALoop(1, 2000, firstSaving, false); });
    ChildProcess second([&] { saveInALoop(2, 2000, secondSaving, false); });
    ASSERT_TRUE(firstSaving.waitFor() && secondSaving.waitFor());
    std::optional<int> firstEnd, secondEnd;
    long reads = 0, broken = 0;
    while (!firstEnd || !secondEnd) {
        const auto content = readFile(session.home.configFile());
        ++reads;
        if (!isCompleteSettingsFile(content)) {
            if (broken++ == 0) ADD_FAILURE() << "first broken read: \"" << content.value_or("<none>") << '"';
        }
        if (!firstEnd) firstEnd = first.waitWithin(std::chrono::milliseconds(0));
        if (!secondEnd) secondEnd = second.waitWithin(std::chrono::milliseconds(0));
    }
    EXPECT_EQ(broken, 0) << "of " << reads << " reads";
    EXPECT_EQ(*firstEnd, 0);
    EXPECT_EQ(*secondEnd, 0);
    const auto last = readFile(session.home.configFile());
    EXPECT_TRUE(last == "kvanescale \"999.250000\"\nkvanetransparency \"0.925000\"\n" ||
                last == "kvanescale \"999.750000\"\nkvanetransparency \"0.975000\"\n")
        << last.value_or("<none>");
    RecordProperty("Reads", static_cast<int>(reads));
}

struct KillCase {
    std::string name;
    int writers;
    bool readOnlyFolder;  // the file writable, its folder not: every save writes in place
    int rounds;
};

void PrintTo(const KillCase& kill, std::ostream* out) { *out << kill.name; }

class KilledWhileSaving : public ::testing::TestWithParam<KillCase> {};

// Killed at random moments, the writers must leave the previous complete file or the next one, never
// an empty or partial one; the next load removes what their temporaries left.
TEST_P(KilledWhileSaving, EveryKillLeavesACompleteFileAndTheNextLoadNoTemporary) {
    const KillCase& kill = GetParam();
    PluginSession session;
    const fs::path folder = session.home.configFile().parent_path();
    writeFile(session.home.configFile(), kValidFile);
    testsupport::handToPlayer(session.home.root());
    if (kill.readOnlyFolder) fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> microseconds(0, 20'000);
    std::set<std::string> seen;
    int broken = 0;
    for (int trial = 0; trial < kill.rounds; ++trial) {
        std::vector<std::unique_ptr<testsupport::ReadySignal>> saving;
        std::vector<std::unique_ptr<ChildProcess>> writers;
        for (int writer = 1; writer <= kill.writers; ++writer) {
            auto& signal = *saving.emplace_back(std::make_unique<testsupport::ReadySignal>());
            writers.push_back(
                std::make_unique<ChildProcess>([&] { saveInALoop(writer, 0, signal, kill.readOnlyFolder); }));
        }
        for (auto& signal : saving) ASSERT_TRUE(signal->waitFor());
        std::this_thread::sleep_for(std::chrono::microseconds(microseconds(random)));
        for (auto& writer : writers) ASSERT_TRUE(writer->kill()) << "trial " << trial;
        const auto content = readFile(session.home.configFile());
        if (!isCompleteSettingsFile(content)) {
            if (broken++ == 0) ADD_FAILURE() << "trial " << trial << ": \"" << content.value_or("<none>") << '"';
            continue;
        }
        seen.insert(*content);
    }
    EXPECT_EQ(broken, 0) << "of " << kill.rounds << " kills";
    // Every kill comes after a first save; they did not all land at the same point either.
    EXPECT_GT(seen.size(), 2u);
    RecordProperty("DistinctFilesSeen", static_cast<int>(seen.size()));
    EXPECT_TRUE(testsupport::runAsPlayer([&] {
        session.load();
        session.unload();
        return true;
    }));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

INSTANTIATE_TEST_SUITE_P(Hostile, KilledWhileSaving,
                         ::testing::Values(KillCase{"OneWriter", 1, false, 50}, KillCase{"TwoWriters", 2, false, 30},
                                           KillCase{"OneWriterInAReadOnlyFolder", 1, true, 30}),
                         [](const ::testing::TestParamInfo<KillCase>& tried) { return tried.param.name; });

}  // namespace

// --- keyvane-sandbox under faults ---------------------------------------------------------------------

TEST(SandboxUnderFaults, AStandardOutputThatCannotBeWrittenIsAnErrorOfOneLine) {
    sandbox_test::ScratchFolder folder;
    for (const auto& arguments :
         std::vector<std::vector<std::string>>{{"keys"}, {"--help"}, {"console", "--home", "home"}}) {
        const auto run =
            sandbox_test::runSandboxInShell("echo kvanescale | \"$@\" >/dev/full", arguments, folder.path());
        EXPECT_EQ(run.status, 1) << arguments[0];
        EXPECT_EQ(run.err, "keyvane-sandbox: cannot write standard output: no space left on device\n") << arguments[0];
    }
}

TEST(SandboxUnderFaults, SignalsItWasStartedToIgnoreStayIgnoredAndCtrlCEndsTheWaitForAScriptsWriter) {
    sandbox_test::ScratchFolder folder;
    // As nohup starts it: SIGHUP (and a background job's SIGINT) ignored; the console reads on.
    const auto ignoring = sandbox_test::runSandboxInShell(
        "trap '' HUP INT; (sleep 1.5; echo kvanescale) | \"$@\" & pid=$!; sleep 0.5; kill -HUP $pid; kill -INT $pid; "
        "wait $pid; echo \"status $?\"",
        {"console", "--home", "home"}, folder.path());
    EXPECT_EQ(ignoring.out, "kvanescale \"1.0\"\nstatus 0\n");
    EXPECT_EQ(ignoring.err, "");
    // A script that is a named pipe nobody writes: opening it waits until Ctrl+C.
    const auto waiting = sandbox_test::runSandboxInShell(
        "set -m; mkfifo s.fifo; \"$@\" & pid=$!; sleep 0.5; kill -INT $pid; wait $pid; echo \"status $?\"",
        {"run", "s.fifo", "--home", "home"}, folder.path());
    EXPECT_EQ(waiting.out, "status 130\n");
    EXPECT_EQ(waiting.err.rfind("keyvane-sandbox: stopped by SIGINT\n", 0), 0u) << waiting.err;
}

TEST(SandboxUnderFaults, AHomeAnotherUserCouldChangeIsRefusedAndOneItMakesIsTheUsersAlone) {
    sandbox_test::ScratchFolder folder;
    sandbox_test::writeText(folder / "s.session", "kvanescale 2\n");
    writeFile(folder / "mine", "the player's");
    const auto refusal = [&](const fs::path& home, const fs::path& culprit, const std::string& why) {
        return "keyvane-sandbox: home " + home.string() + " refused: " + culprit.string() + why +
               ", who could replace the files kept there; give a folder of your own with --home DIR\n";
    };
    const auto runIn = [&](const fs::path& home) {
        return sandbox_test::runSandbox({"run", "s.session", "--home", home.string()}, folder.path());
    };
    const std::string openMode = " can be written by other users (mode 0777, no sticky bit)";
    fs::create_directories(folder / "open");
    fs::permissions(folder / "open", fs::perms::all);
    fs::create_directories(folder / "cfgopen/bakkesmod/cfg");
    fs::permissions(folder / "cfgopen/bakkesmod/cfg", fs::perms::all);
    fs::create_symlink(folder / "mine", folder / "cfgopen/bakkesmod/cfg/keyvane.cfg");
    auto run = runIn(folder / "open");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, refusal(folder / "open", folder / "open", openMode));
    EXPECT_FALSE(fs::exists(folder / "open/bakkesmod"));  // nothing is made in a refused home
    run = runIn(folder / "cfgopen");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, refusal(folder / "cfgopen", folder / "cfgopen/bakkesmod/cfg", openMode));
    // The default home too.
    const fs::path stateHome = sandbox_test::stateFolderIn(folder.path()) / "keyvane-sandbox";
    fs::create_directories(stateHome);
    fs::permissions(stateHome, fs::perms::all);
    run = sandbox_test::runSandbox({"run", "s.session"}, folder.path());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(refusal(stateHome, stateHome, openMode)), std::string::npos) << run.err;
    if (::geteuid() == 0) {
        // Another user's home whose files lead to this user's: as root, the test can give it away.
        fs::create_directories(folder / "theirs/bakkesmod/cfg");
        fs::create_symlink(folder / "mine", folder / "theirs/imgui.ini");
        const passwd* nobody = ::getpwnam("nobody");
        ASSERT_NE(nobody, nullptr);
        ASSERT_EQ(::chown((folder / "theirs").c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        run = runIn(folder / "theirs");
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, refusal(folder / "theirs", folder / "theirs",
                                   " belongs to another user (uid " + std::to_string(nobody->pw_uid) + ")"));
    }
    EXPECT_EQ(readFile(folder / "mine"), "the player's");

    // A sticky folder keeps others from replacing the user's files (/tmp is one); what the program
    // makes is the user's alone.
    fs::permissions(folder / "open", fs::perms::all | fs::perms::sticky_bit);
    EXPECT_EQ(runIn(folder / "open").status, 0);
    EXPECT_EQ(runIn(folder / "made/home").status, 0);
    EXPECT_EQ(fs::status(folder / "made/home").permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(folder / "made/home/bakkesmod/cfg").permissions(), fs::perms::owner_all);
}
