// Hostile input, one group per kind: console values for both settings, binding values, configuration
// files, and session lines. Each must give the specified silent behaviour or a clear error, never a
// crash, a hang or a lost setting. FIFOs, devices and killed processes are in bad_input_linux_test.
#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plugin/SettingsFile.h"
#include "sandbox/session/language/session_command.h"
#include "support/config_text.h"
#include "support/plugin_session.h"
#include "support/save_case.h"

namespace {

using testsupport::configText;
using testsupport::PluginSession;
using testsupport::readFile;
using testsupport::writeFile;

// A settings file as a test writes it, in LF lines on every platform.
std::string fileWith(const std::string& scale, const std::string& transparency) {
    return "kvanescale \"" + scale + "\"\nkvanetransparency \"" + transparency + "\"\n";
}

// --- console values ---------------------------------------------------------------------------------

struct ValueCase {
    std::string name;
    std::string text;
    std::string written;  // what the file holds for it, as "%f" writes the float the host read
};

const std::vector<ValueCase>& hostileValues() {
    static const std::vector<ValueCase> cases{
        {"empty", "", "0.000000"},
        {"spaces", "   ", "0.000000"},
        {"nan", "nan", "nan"},
        {"inf", "inf", "inf"},
        {"overflowing", "1e39", "inf"},
        {"hexadecimal", "0x10", "16.000000"},
        {"comma decimal", "1,5", "1.000000"},
        {"arabic-indic digits", "\xD9\xA1\xD9\xA2", "0.000000"},
        {"fullwidth digits", "\xEF\xBC\x91\xEF\xBC\x92", "0.000000"},
        {"one megabyte of digits", std::string(1 << 20, '7'), "inf"},
        {"one megabyte after a point", "0." + std::string(1 << 20, '5'), "0.555556"},
        {"binary bytes", std::string("\x01\x7f\xff\xfe\x00\x80", 6), "0.000000"},
        {"negative tiny", "-1e-45", "-0.000000"},
    };
    return cases;
}

struct ConsoleValues : ::testing::Test {
    PluginSession session;
    void SetUp() override { session.load(); }
    Keyvane& plugin() { return session.keyvane(); }
    CVarWrapper variable(const char* name) { return plugin().cvarManager->getCvar(name); }
};

TEST_F(ConsoleValues, EitherSettingTakesWhatTheHostReadsAndTheFileStaysTwoWholeLines) {
    for (const ValueCase& value : hostileValues()) {
        SCOPED_TRACE(value.name);
        ASSERT_TRUE(session.host.execute("kvanescale 0.5").ok);
        ASSERT_TRUE(session.host.execute("kvanetransparency 0.25").ok);

        variable("kvanescale").setValue(value.text);
        EXPECT_EQ(readFile(session.home.configFile()), configText(value.written, "0.250000"));
        EXPECT_EQ(plugin().transparency.load(), 0.25f);  // the other setting is untouched

        variable("kvanetransparency").setValue(value.text);
        EXPECT_EQ(readFile(session.home.configFile()), configText(value.written, value.written));
        EXPECT_EQ(std::isnan(plugin().scale.load()), value.written == "nan");
    }
    // The host still answers, and a good value still lands.
    ASSERT_TRUE(session.host.execute("kvanescale 2").ok);
    EXPECT_EQ(plugin().scale.load(), 2.0f);
}

TEST(ConsoleValuesDrawn, AFrameAfterEachValueDrawsOrStaysAway) {
    PluginSession drawing(true, true);
    drawing.load();
    drawing.host.advance(1.0);
    drawing.host.setGameMode(sandbox::GameMode::OnlineMatch);
    for (const ValueCase& value : hostileValues()) {
        SCOPED_TRACE(value.name);
        drawing.keyvane().cvarManager->getCvar("kvanescale").setValue(value.text);
        drawing.keyvane().cvarManager->getCvar("kvanetransparency").setValue(value.text);
        drawing.ui->frame(drawing.host);
    }
    EXPECT_TRUE(drawing.host.isWindowOpen("keyvane"));
}

// --- binding values ---------------------------------------------------------------------------------

struct BindingValues : ConsoleValues {
    void bind(const std::string& value) { variable("A").setValue(value); }
};

TEST_F(BindingValues, UnresolvedValuesAddNoEntryAndChangeNoOtherEntry) {
    const int indexOfA = plugin().keyTable.at("A").nameIndex;
    for (const std::string& value :
         {std::string(), std::string("NoSuchKey"), std::string("a"), std::string(1 << 20, 'A'),
          std::string("\xff\x00\x01", 3), std::string("A "), std::string(" A")}) {
        bind(value);
        EXPECT_EQ(plugin().keyTable.size(), 28u) << value.size() << " bytes";
    }
    // The variable "A" still follows the A key: its entry was never the target.
    EXPECT_EQ(plugin().keyTable.at("A").nameIndex, indexOfA);
}

TEST_F(BindingValues, OtherKeysNamesUpdateThoseEntriesAndKnownNamesOutsideTheTableAddOne) {
    plugin().keyTable.at("Q").nameIndex = 0;
    bind("Q");
    EXPECT_EQ(plugin().keyTable.at("Q").nameIndex, sandbox::Host::keyIndex("Q"));
    bind("F1");
    ASSERT_EQ(plugin().keyTable.count("F1"), 1u);
    EXPECT_EQ(plugin().keyTable.at("F1").nameIndex, sandbox::Host::keyIndex("F1"));
    EXPECT_EQ(plugin().keyTable.at("F1").label, "");
}

TEST_F(BindingValues, AHundredThousandDistinctValuesKeepTheTableAndTheTickBounded) {
    for (int i = 0; i < 100'000; ++i) bind("Key" + std::to_string(i));
    EXPECT_EQ(plugin().keyTable.size(), 28u);
    // Every name the game knows, bound in turn: at most one entry for each.
    for (const std::string& name : sandbox::Host::keyNames()) bind(name);
    const std::size_t known = sandbox::Host::keyNames().size();
    EXPECT_LE(plugin().keyTable.size(), 28u + known);

    session.host.setGameMode(sandbox::GameMode::LocalMatch);
    const auto start = session.host.journal().size();
    session.host.fireEvent(testsupport::kTickEvent);
    std::size_t polls = 0;
    for (const auto& call : session.journalSince(start)) polls += call.operation == "GameWrapper::IsKeyPressed";
    EXPECT_EQ(polls, plugin().keyTable.size());
}

// --- configuration files ----------------------------------------------------------------------------

struct FileCase {
    std::string name;
    std::string content;
    float scale;  // the settings after load
    float transparency;
    std::string logStart;  // how the console log starts after load; empty: nothing is logged
};

const std::string kConfigName = "./bakkesmod/cfg/keyvane.cfg";

class ConfigurationFiles : public ::testing::TestWithParam<FileCase> {};

TEST_P(ConfigurationFiles, LoadGivesTheSpecifiedSettingsAndTheNextChangeWritesTwoWholeLines) {
    const FileCase& file = GetParam();
    PluginSession session;
    writeFile(session.home.configFile(), file.content);
    session.load();
    EXPECT_TRUE(readFile(session.home.configFile()) == file.content) << "the load wrote the file";
    EXPECT_EQ(session.keyvane().scale.load(), file.scale);
    EXPECT_EQ(session.keyvane().transparency.load(), file.transparency);
    const auto log = session.host.consoleLog();
    if (file.logStart.empty()) {
        EXPECT_TRUE(log.empty()) << log.front();
    } else {
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.front().rfind(file.logStart, 0), 0u) << log.front().substr(0, 80);
    }
    ASSERT_TRUE(session.host.execute("kvanetransparency 0.75").ok);
    char scaleText[64];
    std::snprintf(scaleText, sizeof scaleText, "%f", static_cast<double>(file.scale));
    EXPECT_EQ(readFile(session.home.configFile()), configText(scaleText, "0.750000"));
}

const std::string kValidFile = fileWith("2.000000", "0.500000");

std::string manyLines(std::size_t count, const std::string& line) {
    std::string text;
    text.reserve(count * line.size());
    for (std::size_t i = 0; i < count; ++i) text += line;
    return text;
}

// 64 lines of bytes from the upper half, none of them a blank, a quote or a line end.
std::string binaryGarbage() {
    std::string bytes;
    for (int line = 0; line < 64; ++line) {
        for (int i = 0; i < 63; ++i) bytes += static_cast<char>(0x80 + (line * 63 + i) % 0x80);
        bytes += '\n';
    }
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, ConfigurationFiles,
    ::testing::Values(
        FileCase{"Empty", "", 1.0f, 0.0f, ""}, FileCase{"OneLine", "kvanescale \"2.000000\"\n", 2.0f, 0.0f, ""},
        FileCase{"SwappedLines", "kvanetransparency \"0.500000\"\nkvanescale \"2.000000\"\n", 2.0f, 0.5f, ""},
        FileCase{"CarriageReturnLineEnds", "kvanescale \"2.000000\"\r\nkvanetransparency \"0.500000\"\r\n", 2.0f, 0.5f,
                 ""},
        FileCase{"CarriageReturnAlone", "kvanescale \"2.000000\"\rkvanetransparency \"0.500000\"\r", 2.0f, 0.5f, ""},
        FileCase{"ByteOrderMark", "\xEF\xBB\xBF" + kValidFile, 2.0f, 0.5f, ""},
        FileCase{"NoFinalLineEnd", "kvanescale \"2.000000\"\nkvanetransparency \"0.500000\"", 2.0f, 0.5f, ""},
        FileCase{"BinaryGarbage", binaryGarbage(), 1.0f, 0.0f, kConfigName + ":1: unknown command: \x80"},
        FileCase{"GarbageAroundGoodLines", "\x01\x02 zz\n" + kValidFile + "kvanescale \"unterminated\n", 2.0f, 0.5f,
                 kConfigName + ":1: unknown command: \x01\x02"},
        // Past the host's limit: the lines within it still reach the plugin.
        FileCase{"TenMegabytes", kValidFile + std::string(10 << 20, 'x'), 2.0f, 0.5f,
                 kConfigName + ": larger than 1 MiB"},
        FileCase{"AHundredThousandLines", manyLines(100'000, "// a note\n") + kValidFile, 2.0f, 0.5f, ""}),
    [](const ::testing::TestParamInfo<FileCase>& tried) { return tried.param.name; });

struct HostReplay : ::testing::Test {
    PluginSession session;  // for its home; the plugin is not loaded
    sandbox::Host& host() { return session.host; }
    std::filesystem::path file() { return session.home.configFile(); }
};

TEST_F(HostReplay, RefusesWhatIsNoRegularFileAndOfALargeFileRunsTheWholeLinesWithinTheLimit) {
    std::filesystem::create_directories(file());
    EXPECT_FALSE(host().loadConfig(file()));
    std::filesystem::remove(file());
    CVarWrapper probe = host().cvarManagerFor(host().newOwner())->registerCvar("probe", "0");
    // "probe 2" starts 4 bytes before the limit and ends past it: half a line, not run.
    writeFile(file(), "probe 1\n" + std::string(sandbox::Host::kMaxConfigBytes - 12, '\n') + "probe 2\n");
    EXPECT_FALSE(host().loadConfig(file()));
    EXPECT_EQ(probe.getStringValue(), "1");
    writeFile(file(), std::string(sandbox::Host::kMaxConfigBytes - 8, '\n') + "probe 3\n");
    EXPECT_TRUE(host().loadConfig(file()));
    EXPECT_EQ(probe.getStringValue(), "3");
    const std::string name = file().string();
    EXPECT_EQ(
        host().consoleLog(),
        (std::vector<std::string>{name + ": not a regular file",
                                  name + ": larger than 1 MiB; only the lines within its first 1 MiB are replayed"}));
}

TEST_F(HostReplay, BadLinesAreLoggedWithFileAndLineAndTheReplayGoesOn) {
    std::vector<std::string> heard;
    host().setLogListener([&](const std::string& line) { heard.push_back(line); });
    CVarWrapper probe = host().cvarManagerFor(host().newOwner())->registerCvar("probe", "0");
    writeFile(file(), "\xEF\xBB\xBFprobe 1\r\nnosuch 2\r\n\r\nprobe \"3\r\nprobe \"# not a comment\"\n");
    EXPECT_TRUE(host().loadConfig(file()));
    EXPECT_EQ(probe.getStringValue(), "# not a comment");
    const std::string name = file().string();
    const std::vector<std::string> expected{name + ":2: unknown command: nosuch",
                                            name + ":4: unterminated double quote: probe \"3"};
    EXPECT_EQ(host().consoleLog(), expected);
    EXPECT_EQ(heard, expected);
    // The error of a line the caller runs itself is the caller's to show.
    EXPECT_FALSE(host().execute("nosuch").ok);
    EXPECT_EQ(heard, expected);
    EXPECT_EQ(host().consoleLog().size(), 3u);
}

TEST(ConfigurationFolder, AFolderAtThePathIsSkippedAndNeverReplaced) {
    PluginSession session;
    std::filesystem::create_directories(session.home.configFile() / "inside");
    session.load();
    EXPECT_EQ(session.keyvane().scale.load(), 1.0f);
    ASSERT_TRUE(session.host.execute("kvanescale 3").ok);
    EXPECT_EQ(session.keyvane().scale.load(), 3.0f);
    EXPECT_TRUE(std::filesystem::is_directory(session.home.configFile() / "inside"));
    for (const auto& call : session.host.journal()) EXPECT_NE(call.operation, "CVarManagerWrapper::loadCfg");
    EXPECT_TRUE(session.host.consoleLog().empty());
}

// --- saving as the player ------------------------------------------------------------------------

// A save changes nothing but the file's two lines, and only where a plain write could have written.
// Cases that need links or POSIX modes are in bad_input_linux_test.
class SavedAsThePlayer : public ::testing::TestWithParam<testsupport::SaveCase> {};

TEST_P(SavedAsThePlayer, ChangesOnlyWhatAPlainWriteWouldHave) { testsupport::checkSaveAsPlayer(GetParam()); }

const std::string kConfigEntry = "bakkesmod/cfg/keyvane.cfg";

INSTANTIATE_TEST_SUITE_P(
    Hostile, SavedAsThePlayer,
    ::testing::Values(
        testsupport::SaveCase{"ReadOnlyFile",
                              [](const std::filesystem::path& home) {
                                  writeFile(home / kConfigEntry, kValidFile);
                                  std::filesystem::permissions(home / kConfigEntry, std::filesystem::perms::all,
                                                               std::filesystem::perm_options::remove);
                                  std::filesystem::permissions(home / kConfigEntry, std::filesystem::perms::owner_read,
                                                               std::filesystem::perm_options::add);
                              },
                              2.0f,
                              {},
                              {}},
        // Another program reads it (on Windows without delete sharing, so it cannot be replaced):
        // the shorter new text leaves none of the longer old one behind.
        testsupport::SaveCase{"HeldOpenByAnotherProgram",
                              [](const std::filesystem::path& home) {
                                  writeFile(home / kConfigEntry, kValidFile + "// " + std::string(200, 'x') + "\n");
                              },
                              2.0f,
                              {kConfigEntry},
                              {},
                              true},
        // A save killed before its rename leaves its temporary; the next load removes it once it is
        // old, and nothing that only looks like one: a fresh one a live save may still own, one with a
        // second name.
        testsupport::SaveCase{
            "LeftoverTemporaries",
            [](const std::filesystem::path& home) {
                namespace fs = std::filesystem;
                const auto folder = home / "bakkesmod/cfg";
                const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(2);
                for (const char* name :
                     {"keyvane.cfg.4242-0123456789abcdef.tmp", "keyvane.cfg.4243-0123456789abcdef.tmp"}) {
                    writeFile(folder / name, "kvanescale \"9.0");
                    fs::last_write_time(folder / name, old);
                }
                fs::create_hard_link(folder / "keyvane.cfg.4243-0123456789abcdef.tmp", folder / "kept-by-the-player");
                writeFile(folder / "keyvane.cfg.4244-0123456789abcdef.tmp", "kvanescale \"8.0");
                // Old too, so that only their names keep them (another process number for the upper-case
                // one: Windows would take it for the lower-case file).
                for (const char* name : {"keyvane.cfg.new", "keyvane.cfg.tmp", "keyvane.cfg.4245-0123456789ABCDEF.tmp",
                                         "keyvane.cfg.4242-0123456789abcdef.tmp.old",
                                         "keyvane.cfg.-0123456789abcdef.tmp", "other.cfg.4242-0123456789abcdef.tmp"}) {
                    writeFile(folder / name, "the player's");
                    fs::last_write_time(folder / name, old);
                }
                std::filesystem::create_directory(folder / "keyvane.cfg.7-fedcba9876543210.tmp");
            },
            1.0f,
            {kConfigEntry},
            {"bakkesmod/cfg/keyvane.cfg.4242-0123456789abcdef.tmp"}}),
    [](const ::testing::TestParamInfo<testsupport::SaveCase>& tried) { return tried.param.name; });

// The temporary a save writes: made new, never over anything that has its name. Links are tried in
// bad_input_linux_test.
TEST(SaveTemporary, IsMadeNewOrNotAtAll) {
    testsupport::ScratchFolder folder;
    writeFile(folder / "taken", "the player's");
    EXPECT_FALSE(settingsfile::writeNewFile(folder / "taken", "new"));
    EXPECT_EQ(readFile(folder / "taken"), "the player's");
    EXPECT_TRUE(settingsfile::writeNewFile(folder / "free", "new"));
    EXPECT_EQ(readFile(folder / "free"), "new");
}

// --- session lines ----------------------------------------------------------------------------------

TEST(MalformedSessionLines, EachIsRefusedWithAReasonOrHandedToTheConsoleWhichRefusesIt) {
    sandbox::Host host;
    const std::vector<std::string> lines{
        "tick -1",
        "tick 99999999999999999999",
        "frame 1e3",
        "wait nan",
        "wait -0.5",
        "wait 1e400",
        "drag 1e400 0",
        "drag 1",
        "hold",
        "game",
        "game space",
        "match maybe",
        "snapshot .png",
        "load now",
        "\xff\xfe\xfd",
        std::string("tick\0 5", 7),
        "\"unterminated",
        "kvanescale \"1",
        std::string(1 << 20, 'x'),
        "tick " + std::string(1 << 16, '9'),
        "#\"",
        "\"#\"",
    };
    for (const std::string& line : lines) {
        const auto parsed = sandbox::session::parseSessionLine(line);
        if (parsed.empty) continue;
        if (!parsed.error.empty()) continue;
        const auto* console = std::get_if<sandbox::session::ConsoleLine>(&parsed.command);
        ASSERT_NE(console, nullptr) << line.substr(0, 40);
        const auto result = host.execute(console->text);
        EXPECT_FALSE(result.ok) << line.substr(0, 40);
        EXPECT_FALSE(result.message.empty()) << line.substr(0, 40);
    }
}

TEST(SessionComments, AHashInsideDoubleQuotesIsText) {
    const auto parsed = sandbox::session::parseSessionLine("kvanescale \"1 # no comment\"  # a comment");
    const auto* console = std::get_if<sandbox::session::ConsoleLine>(&parsed.command);
    ASSERT_NE(console, nullptr);
    EXPECT_EQ(console->text, "kvanescale \"1 # no comment\"");
    EXPECT_TRUE(sandbox::session::parseSessionLine("  # \"quoted\" comment").empty);
}

}  // namespace
