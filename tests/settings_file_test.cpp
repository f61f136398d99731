// The two settings and their configuration file: every change rewrites the file byte for byte, the
// next load replays it through the host, and a missing folder loses nothing but the file.
#include <cmath>

#include <gtest/gtest.h>

#include "support/config_text.h"
#include "support/plugin_session.h"

namespace {

using testsupport::PluginSession;
using testsupport::readFile;

std::string fileWith(const char* scale, const char* transparency) {
    return testsupport::configText(scale, transparency);
}

struct Settings : ::testing::Test {
    PluginSession session;
    void SetUp() override { session.load(); }
    Keyvane& plugin() { return session.keyvane(); }
    std::optional<std::string> file() { return readFile(session.home.configFile()); }
    void set(const std::string& line) { ASSERT_TRUE(session.host.execute(line).ok) << line; }
};

TEST_F(Settings, DefaultsHoldUntilTheFirstChangeAndTheDefaultFileIs51BytesOr53WithCrLf) {
    EXPECT_EQ(plugin().scale.load(), 1.0f);
    EXPECT_EQ(plugin().transparency.load(), 0.0f);
    EXPECT_FALSE(file());
    session.unload();
    const auto written = file();
    ASSERT_TRUE(written);
    EXPECT_EQ(*written, fileWith("1.000000", "0.000000"));
    // Two text-mode lines: LF ends them on Linux, CR LF on Windows.
    EXPECT_EQ(written->size(), std::string(testsupport::kTextLineEnd) == "\r\n" ? 53u : 51u);
}

TEST_F(Settings, EachChangeSetsItsFieldThenRewritesTheWholeFile) {
    set("kvanescale 1.5");
    EXPECT_EQ(plugin().scale.load(), 1.5f);
    EXPECT_EQ(file(), fileWith("1.500000", "0.000000"));
    set("kvanetransparency 0.6");
    EXPECT_EQ(plugin().transparency.load(), 0.6f);
    EXPECT_EQ(file(), fileWith("1.500000", "0.600000"));
    set("kvanescale -2");
    EXPECT_EQ(plugin().scale.load(), -2.0f);
    EXPECT_EQ(file(), fileWith("-2.000000", "0.600000"));
    set("kvanescale 100000");
    EXPECT_EQ(file(), fileWith("100000.000000", "0.600000"));
}

TEST_F(Settings, AValueThatIsNoNumberBecomesWhatTheHostReadsFromIt) {
    set("kvanescale 1.5");
    set("kvanescale banana");
    EXPECT_EQ(plugin().scale.load(), 0.0f);
    EXPECT_EQ(file(), fileWith("0.000000", "0.000000"));
    set("kvanescale \"  2.5 metres\"");
    EXPECT_EQ(plugin().scale.load(), 2.5f);
}

TEST_F(Settings, NonFiniteValuesAreKeptAndWrittenAsTheCFormatDoes) {
    set("kvanescale inf");
    EXPECT_EQ(plugin().scale.load(), INFINITY);
    EXPECT_EQ(file(), fileWith("inf", "0.000000"));
    set("kvanetransparency nan");
    EXPECT_TRUE(std::isnan(plugin().transparency.load()));
    EXPECT_EQ(file(), fileWith("inf", "nan"));
    set("kvanescale -1e30");
    EXPECT_EQ(file(), fileWith("-1000000015047466219876688855040.000000", "nan"));
}

TEST_F(Settings, SixDecimalsSurviveAnUnloadAndTheNextLoadsReplay) {
    set("kvanescale 0.1234567");
    EXPECT_EQ(plugin().scale.load(), 0.1234567f);
    EXPECT_EQ(file(), fileWith("0.123457", "0.000000"));
    session.unload();
    EXPECT_EQ(file(), fileWith("0.123457", "0.000000"));

    session.load();
    EXPECT_EQ(plugin().scale.load(), 0.123457f);
    EXPECT_EQ(plugin().transparency.load(), 0.0f);
    EXPECT_EQ(session.host.variableValue("kvanescale"), "0.123457");
    EXPECT_EQ(file(), fileWith("0.123457", "0.000000"));
}

TEST_F(Settings, AFileWithOtherContentIsReplacedByExactlyTheTwoLines) {
    testsupport::writeFile(session.home.configFile(), "// my notes\nkvanescale \"9\"\nsomething else entirely\n\n\n");
    set("kvanetransparency 1");
    EXPECT_EQ(file(), fileWith("1.000000", "1.000000"));
}

TEST(SettingsWithoutConfigFolder, ChangesUpdateTheFieldsAndWriteNothingSilently) {
    PluginSession session(/*withConfigFolder=*/false);
    session.load();
    ASSERT_TRUE(session.host.execute("kvanescale 2").ok);
    ASSERT_TRUE(session.host.execute("kvanetransparency 0.5").ok);
    EXPECT_EQ(session.keyvane().scale.load(), 2.0f);
    EXPECT_EQ(session.keyvane().transparency.load(), 0.5f);
    session.unload();
    EXPECT_FALSE(std::filesystem::exists(session.home.root() / "bakkesmod"));
    // Each failed save says so, once: the two changes and the unload.
    const auto log = session.host.consoleLog();
    ASSERT_EQ(log.size(), 3u);
    for (const std::string& line : log) {
        EXPECT_EQ(line.rfind("keyvane: settings not saved: ./bakkesmod/cfg/keyvane.cfg cannot be created: ", 0), 0u)
            << line;
    }
}

// The replay at load writes nothing: the file already holds what it sets. The unload writes what
// the replay delivered, unless the replay left a setting out: then the file is kept until a change.
TEST(SettingsReplay, TheLoadWritesNothingAndAFileNotReadWholeIsKeptUntilAChange) {
    PluginSession session;
    const std::string stored = "kvanescale \"1.5\"\nkvanetransparency \"0.25\"\n";
    testsupport::writeFile(session.home.configFile(), stored);
    session.load();
    EXPECT_EQ(session.keyvane().scale.load(), 1.5f);
    EXPECT_EQ(session.keyvane().transparency.load(), 0.25f);
    EXPECT_EQ(readFile(session.home.configFile()), stored);
    session.unload();
    EXPECT_EQ(readFile(session.home.configFile()), fileWith("1.500000", "0.250000"));

    const std::string oneLine = "kvanescale \"2.5\"\n";
    testsupport::writeFile(session.home.configFile(), oneLine);
    session.load();
    EXPECT_EQ(session.keyvane().scale.load(), 2.5f);
    session.unload();
    EXPECT_EQ(readFile(session.home.configFile()), oneLine);
    const auto log = session.host.consoleLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].rfind("keyvane: settings not saved: ./bakkesmod/cfg/keyvane.cfg was not read whole", 0), 0u);

    session.load();
    ASSERT_TRUE(session.host.execute("kvanetransparency 0.5").ok);
    EXPECT_EQ(readFile(session.home.configFile()), fileWith("2.500000", "0.500000"));
    session.unload();

    // An empty file stores nothing: the unload writes the settings.
    testsupport::writeFile(session.home.configFile(), "");
    session.load();
    session.unload();
    EXPECT_EQ(readFile(session.home.configFile()), fileWith("1.000000", "0.000000"));
}

}  // namespace
