// Hostile files and processes that need Linux to make: links, file modes, a FIFO or a link to a
// device where the configuration file should be, a full disk, a comma locale, keyvane-sandbox showing
// the replay's errors, and processes saving at once or killed at random moments while they save.
// Nothing may block, read without end, or leave anything but a complete file.
#include <sys/file.h>

#include <algorithm>

#include <cctype>
#include <chrono>
#include <cstdlib>
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

// A file that replays as one version saveSettings wrote: its two lines, then nothing but empty lines
// (what a write in place shows before its cut).
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
    return rest.find_first_not_of('\n') == std::string_view::npos;
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

TEST(FullDisk, EachFailedSaveSaysWhyInOneLineAndTheOldFileStaysWhole) {
    PluginSession session;
    writeFile(session.home.configFile(), kValidFile);
    EXPECT_TRUE(passesWithin(std::chrono::seconds(10), [&] {
        testsupport::limitFileSize(20);  // the first line fits, the second does not
        session.load();
        EXPECT_EQ(session.keyvane().scale.load(), 2.0f);
        ASSERT_TRUE(session.host.execute("kvanescale 7").ok);
        EXPECT_EQ(session.keyvane().scale.load(), 7.0f);
        session.unload();
        const std::string said =
            "keyvane: settings not saved: ./bakkesmod/cfg/keyvane.cfg cannot be written: File too large";
        EXPECT_EQ(session.host.consoleLog(), (std::vector<std::string>{said, said}));
    }));
    EXPECT_EQ(readFile(session.home.configFile()), kValidFile);
    EXPECT_EQ(std::distance(fs::directory_iterator(session.home.configFile().parent_path()), fs::directory_iterator()),
              1);
}

// A file with a second name is written in place, under a lock that any reader of the file may hold
// for ever: the save tries for its patience, gives up, says so, and the sandbox ends with status 1.
TEST(LockedByAnotherProcess, ASaveGivesUpWithinItsPatienceSaysWhyAndTheSandboxExitsWith1) {
    sandbox_test::ScratchFolder folder;
    const fs::path config = folder / "home/bakkesmod/cfg/keyvane.cfg";
    fs::create_directories(config.parent_path());
    writeFile(config, kValidFile);
    fs::create_hard_link(config, folder / "home/backup.cfg");
    const int holder = ::open(config.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    const std::string said =
        "keyvane: settings not saved: ./bakkesmod/cfg/keyvane.cfg is locked by another process; not written this time";

    EXPECT_TRUE(passesWithin(std::chrono::seconds(20), [&] {
        PluginSession session;
        fs::copy_file(config, session.home.configFile());
        fs::create_hard_link(session.home.configFile(), session.home.root() / "backup.cfg");
        const int held = ::open(session.home.configFile().c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_EQ(::flock(held, LOCK_EX), 0);
        session.load();
        ASSERT_TRUE(session.host.execute("kvanescale 3").ok);
        EXPECT_EQ(session.keyvane().scale.load(), 3.0f);
        EXPECT_EQ(readFile(session.home.configFile()), kValidFile);
        EXPECT_EQ(session.host.consoleLog(), std::vector<std::string>{said});
        ::close(held);
        session.unload();
        EXPECT_EQ(readFile(session.home.configFile()), testsupport::configText("3.000000", "0.500000"));
    }));

    sandbox_test::writeText(folder / "s.session", "kvanescale 3\n");
    const auto run = sandbox_test::runSandbox({"run", "s.session", "--home", "home"}, folder.path());
    ::close(holder);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.err, said + "\n" + said + "\n");
    EXPECT_EQ(readFile(config), kValidFile);
}

// The load removes a killed save's temporary only when it is this user's, has one name and is old
// enough that no live save can own it; in a folder everyone may write, nothing of another user.
TEST(LeftoverTemporaries, OnlyThisUsersOldOnesWithOneNameGo) {
    testsupport::ScratchFolder folder;
    const fs::path config = folder / "keyvane.cfg";
    const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(2);
    const auto temporary = [&](const char* process) {
        return folder / ("keyvane.cfg." + std::string(process) + "-0123456789abcdef.tmp");
    };
    for (const char* process : {"1", "2", "3", "4"}) writeFile(temporary(process), "kvanescale \"9.0");
    for (const char* process : {"1", "3", "4"}) fs::last_write_time(temporary(process), old);
    fs::create_hard_link(temporary("3"), folder / "kept");
    const passwd* nobody = ::geteuid() == 0 ? ::getpwnam("nobody") : nullptr;
    if (nobody) {
        ASSERT_EQ(::lchown(temporary("4").c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    }
    fs::permissions(folder.path(), fs::perms::all | fs::perms::sticky_bit);

    settingsfile::removeLeftoverTemporaries(config);
    EXPECT_FALSE(fs::exists(temporary("1")));
    EXPECT_TRUE(fs::exists(temporary("2"))) << "a live save's";
    EXPECT_TRUE(fs::exists(temporary("3"))) << "one with a second name";
    EXPECT_EQ(fs::exists(temporary("4")), nobody != nullptr) << "another user's";
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

// A process of its own that loads the module and saves in a loop, `rounds` times and then unloads, or
// until it is killed (rounds 0); it signals after its first two saves. Writer 1's values end in 25,
// writer 2's in 75, writer 3's in 50; long and short values take turns, so that a write in place
// shrinks the file as often as it grows it.
std::string savedValue(int writer, long round) {
    const std::string fraction = writer == 1 ? ".25" : writer == 2 ? ".75" : ".5";
    return std::to_string(round % 2 == 0 ? 12'345'000 + round % 1000 : round % 1000) + fraction;
}

void saveInALoop(int writer, long rounds, testsupport::ReadySignal& saving, const fs::path& module, bool asPlayer) {
    if (asPlayer && !testsupport::dropToPlayer()) ::_exit(3);
    sandbox::Host host;
    host.setJournalEnabled(false);
    auto loaded = sandbox::PluginModule::load(host, module, nullptr);
    for (long i = 0; rounds == 0 || i < rounds; ++i) {
        host.execute("kvanescale " + savedValue(writer, i));
        host.execute("kvanetransparency 0." + std::to_string(i % 10) + savedValue(writer, 0).substr(9));
        if (i == 0) saving.signal();
    }
    loaded.reset();
    ::_exit(0);
}

// Reads the file beside writers until they have all ended; the reads that were not one whole version.
struct ReadsBeside {
    long reads = 0, broken = 0;
    long withDefaultTransparency = 0;  // whole, but with a transparency of 0
    std::string firstBroken;
    std::vector<std::optional<int>> ends;
};

ReadsBeside readBeside(const fs::path& file, std::vector<std::unique_ptr<ChildProcess>>& writers,
                       std::chrono::seconds limit) {
    ReadsBeside seen;
    seen.ends.resize(writers.size());
    const auto giveUp = std::chrono::steady_clock::now() + limit;
    for (bool running = true; running && std::chrono::steady_clock::now() < giveUp;) {
        const auto content = readFile(file);
        ++seen.reads;
        if (!isCompleteSettingsFile(content) && seen.broken++ == 0) seen.firstBroken = content.value_or("<none>");
        seen.withDefaultTransparency += content && content->find("kvanetransparency \"0.000000\"") != std::string::npos;
        running = false;
        for (std::size_t i = 0; i < writers.size(); ++i) {
            if (!seen.ends[i]) seen.ends[i] = writers[i]->waitWithin(std::chrono::milliseconds(0));
            running = running || !seen.ends[i];
        }
    }
    return seen;
}

TEST(TwoProcessesSaving, AReaderBesideThemSeesOnlyWholeFilesAndTheLastSaveOfOneRemains) {
    PluginSession session;
    writeFile(session.home.configFile(), kValidFile);
    testsupport::ReadySignal firstSaving, secondSaving;
    std::vector<std::unique_ptr<ChildProcess>> writers;
    writers.push_back(
        std::make_unique<ChildProcess>([&] { saveInALoop(1, 2000, firstSaving, KEYVANE_MODULE_PATH, false); }));
    writers.push_back(
        std::make_unique<ChildProcess>([&] { saveInALoop(2, 2000, secondSaving, KEYVANE_MODULE_PATH, false); }));
    ASSERT_TRUE(firstSaving.waitFor() && secondSaving.waitFor());
    const ReadsBeside seen = readBeside(session.home.configFile(), writers, std::chrono::seconds(240));
    EXPECT_EQ(seen.broken, 0) << "of " << seen.reads << " reads; the first: \"" << seen.firstBroken << '"';
    EXPECT_EQ(seen.ends[0], 0);
    EXPECT_EQ(seen.ends[1], 0);
    const auto last = readFile(session.home.configFile());
    EXPECT_TRUE(last == "kvanescale \"999.250000\"\nkvanetransparency \"0.925000\"\n" ||
                last == "kvanescale \"999.750000\"\nkvanetransparency \"0.975000\"\n")
        << last.value_or("<none>");
    RecordProperty("Reads", static_cast<int>(seen.reads));
}

// Three processes that each load, change both settings and unload, over and over, for
// KEYVANE_CYCLING_SECONDS (2 by default): loads that remove leftovers, saves that rename and unloads
// that save again, all at once, and a reader beside them that must only ever see whole files, and
// never the default transparency, which none of them sets: a load writes nothing in between.
void cycleUntil(int writer, std::chrono::steady_clock::time_point end, testsupport::ReadySignal& cycling) {
    sandbox::Host host;
    host.setJournalEnabled(false);
    for (long i = 0;; ++i) {
        auto loaded = sandbox::PluginModule::load(host, KEYVANE_MODULE_PATH, nullptr);
        host.execute("kvanescale " + savedValue(writer, i));
        host.execute("kvanetransparency 0." + std::to_string(i % 9 + 1));
        loaded.reset();
        if (i == 0) cycling.signal();
        if (std::chrono::steady_clock::now() >= end) break;
    }
    ::_exit(0);
}

TEST(ThreeProcessesCycling, AReaderBesideThemSeesOnlyWholeFiles) {
    const char* asked = std::getenv("KEYVANE_CYCLING_SECONDS");
    const int seconds = asked ? std::max(1, std::atoi(asked)) : 2;
    PluginSession session;
    writeFile(session.home.configFile(), kValidFile);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    std::vector<std::unique_ptr<testsupport::ReadySignal>> cycling;
    std::vector<std::unique_ptr<ChildProcess>> writers;
    for (int writer = 1; writer <= 3; ++writer) {
        auto& signal = *cycling.emplace_back(std::make_unique<testsupport::ReadySignal>());
        writers.push_back(std::make_unique<ChildProcess>([&] { cycleUntil(writer, end, signal); }));
    }
    for (auto& signal : cycling) ASSERT_TRUE(signal->waitFor());
    const ReadsBeside seen = readBeside(session.home.configFile(), writers, std::chrono::seconds(seconds + 120));
    EXPECT_EQ(seen.broken, 0) << "of " << seen.reads << " reads; the first: \"" << seen.firstBroken << '"';
    EXPECT_EQ(seen.withDefaultTransparency, 0) << "of " << seen.reads << " reads";
    for (const auto& status : seen.ends) EXPECT_EQ(status, 0);
    RecordProperty("Reads", static_cast<int>(seen.reads));
}

struct KillCase {
    std::string name;
    int writers;
    bool readOnlyFolder;  // the file writable, its folder not: every save writes in place
    int rounds;
};

void PrintTo(const KillCase& kill, std::ostream* out) { *out << kill.name; }

class KilledWhileSaving : public ::testing::TestWithParam<KillCase> {};

// Killed at random moments, the writers must leave the previous complete file or the next one (its
// lines followed by empty lines, in place), never an empty or partial one; the next load removes what
// their temporaries left.
TEST_P(KilledWhileSaving, EveryKillLeavesACompleteFileAndTheNextLoadNoTemporary) {
    const KillCase& kill = GetParam();
    PluginSession session;
    // The next load, at the end, is the player's whatever the writers were.
    session.modulePath = testsupport::moduleForPlayer(session.modulePath);
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
            writers.push_back(std::make_unique<ChildProcess>(
                [&] { saveInALoop(writer, 0, signal, session.modulePath, kill.readOnlyFolder); }));
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
    RecordProperty("DistinctFilesSeen", static_cast<int>(seen.size()));
    // What the kills left is the player's and old by the next load, as after a game that crashed a
    // while ago.
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path() != session.home.configFile()) {
            fs::last_write_time(entry.path(), fs::file_time_type::clock::now() - std::chrono::minutes(2));
        }
    }
    testsupport::handToPlayer(session.home.root());
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
