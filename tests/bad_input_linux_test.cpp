// Hostile files and processes that need Linux to make: links, a FIFO or a link to a device where
// the configuration file should be, a full disk, a comma locale, keyvane-sandbox showing the replay's
// errors, and a process killed at random moments while it saves. Nothing may block, read without
// end, or leave anything but a complete file.
#include <chrono>
#include <cctype>
#include <random>
#include <set>
#include <string_view>
#include <thread>

#include <gtest/gtest.h>

#include "sandbox_program.h"
#include "support/plugin_session.h"
#include "support/posix_process.h"

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

bool journalHasReplay(const sandbox::Host& host) {
    for (const auto& call : host.journal()) {
        if (call.operation == "CVarManagerWrapper::loadCfg") return true;
    }
    return false;
}

// --- what is no file ----------------------------------------------------------------------------------

struct NoFileAtThePath : ::testing::TestWithParam<const char*> {};

// The load skips it like a missing file, without blocking; the next change puts a regular file there.
TEST_P(NoFileAtThePath, IsSkippedWithoutBlockingAndReplacedByTheNextSave) {
    PluginSession session;
    const std::string kind = GetParam();
    if (kind == "fifo") {
        ASSERT_TRUE(testsupport::makeFifo(session.home.configFile()));
    } else {
        std::filesystem::create_symlink(kind, session.home.configFile());
    }
    EXPECT_TRUE(passesWithin(std::chrono::seconds(10), [&] {
        session.load();
        EXPECT_FALSE(journalHasReplay(session.host));
        EXPECT_EQ(session.keyvane().scale.load(), 1.0f);
        ASSERT_TRUE(session.host.execute("kvanescale 3").ok);
        EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(session.home.configFile())));
        EXPECT_TRUE(isCompleteSettingsFile(readFile(session.home.configFile())));
        session.unload();
    }));
}

INSTANTIATE_TEST_SUITE_P(Hostile, NoFileAtThePath, ::testing::Values("fifo", "/dev/zero", "/dev/full"),
                         [](const ::testing::TestParamInfo<const char*>& tried) {
                             std::string name = tried.param;
                             return name == "fifo" ? std::string("Fifo")
                                                   : name == "/dev/zero" ? std::string("LinkToDevZero")
                                                                         : std::string("LinkToDevFull");
                         });

TEST(ConfigurationLink, ALinkToARegularFileIsReplayedAndStaysALink) {
    PluginSession session;
    const auto real = session.home.root() / "elsewhere.cfg";
    writeFile(real, kValidFile);
    std::filesystem::create_symlink(real, session.home.configFile());
    session.load();
    EXPECT_EQ(session.keyvane().scale.load(), 2.0f);
    ASSERT_TRUE(session.host.execute("kvanescale 4").ok);
    EXPECT_TRUE(std::filesystem::is_symlink(session.home.configFile()));
    EXPECT_EQ(readFile(real), "kvanescale \"4.000000\"\nkvanetransparency \"0.500000\"\n");
}

TEST(ConfigurationLink, ADanglingLinkIsSkippedLikeAMissingFile) {
    PluginSession session;
    std::filesystem::create_symlink(session.home.root() / "gone.cfg", session.home.configFile());
    session.load();
    for (const auto& call : session.host.journal()) EXPECT_NE(call.operation, "CVarManagerWrapper::loadCfg");
    EXPECT_EQ(session.keyvane().scale.load(), 1.0f);
}

TEST(HostReplayOfDevices, RefusesAtOnceWithOneError) {
    sandbox::Host host;
    EXPECT_FALSE(host.loadConfig("/dev/zero"));
    EXPECT_FALSE(host.loadConfig("/dev/full"));
    EXPECT_EQ(host.consoleLog(),
              (std::vector<std::string>{"/dev/zero: not a regular file", "/dev/full: not a regular file"}));
}

// --- a file that cannot be written ------------------------------------------------------------------

TEST(FullDisk, SavingFailsSilentlyAndTheOldFileStaysWhole) {
    PluginSession session;
    writeFile(session.home.configFile(), kValidFile);
    EXPECT_TRUE(passesWithin(std::chrono::seconds(10), [&] {
        testsupport::limitFileSize(20);   // the first line fits, the second does not
        session.load();
        EXPECT_EQ(session.keyvane().scale.load(), 2.0f);
        ASSERT_TRUE(session.host.execute("kvanescale 7").ok);
        EXPECT_EQ(session.keyvane().scale.load(), 7.0f);
        session.unload();
    }));
    EXPECT_EQ(readFile(session.home.configFile()), kValidFile);
    EXPECT_FALSE(std::filesystem::exists(session.home.configFile().string() + ".new"));
}

// --- the process's locale -----------------------------------------------------------------------------

TEST(CommaLocale, TheFileStillHoldsDecimalPoints) {
    PluginSession session;
    if (!testsupport::useCommaLocaleFrom(session.home.root() / "locales") ||
        !std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        GTEST_SKIP() << "no de_DE locale can be built here";
    }
    char probe[32];
    std::snprintf(probe, sizeof probe, "%f", 1.5);
    ASSERT_STREQ(probe, "1,500000");   // the locale is in force
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

// --- killed while saving --------------------------------------------------------------------------------

// A child changes both settings as fast as it can; killed at a random moment, it must leave the
// previous complete file or the next one, never an empty or partial one.
TEST(KilledWhileSaving, FiftyRandomKillsAlwaysLeaveACompleteFile) {
    PluginSession session;
    writeFile(session.home.configFile(), kValidFile);
    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> microseconds(0, 5'000);
    std::set<std::string> seen;
    for (int trial = 0; trial < 50; ++trial) {
        testsupport::ReadySignal saving;
        ChildProcess child([&] {
            sandbox::Host host;
            host.setJournalEnabled(false);
            auto module = sandbox::PluginModule::load(host, KEYVANE_MODULE_PATH, nullptr);
            saving.signal();
            for (long i = 0;; ++i) {
                host.execute("kvanescale " + std::to_string(i % 1000) + ".5");
                host.execute("kvanetransparency 0." + std::to_string(i % 10));
            }
        });
        ASSERT_TRUE(child.started());
        ASSERT_TRUE(saving.waitFor());
        std::this_thread::sleep_for(std::chrono::microseconds(microseconds(random)));
        ASSERT_TRUE(child.kill()) << "trial " << trial;
        const auto content = readFile(session.home.configFile());
        ASSERT_TRUE(isCompleteSettingsFile(content)) << "trial " << trial << ": \"" << content.value_or("<none>") << '"';
        seen.insert(*content);
    }
    // The kills did land among the writes, not all before the first one.
    EXPECT_GT(seen.size(), 10u);
    RecordProperty("DistinctFilesSeen", static_cast<int>(seen.size()));
}

}  // namespace
