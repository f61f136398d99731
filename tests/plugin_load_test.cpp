// Loading the plugin, seen through the host's call journal: every host call in order, the key table
// it builds, and the configuration replay that only happens when the file opens.
#include <gtest/gtest.h>

#include "support/config_text.h"
#include "support/plugin_session.h"

namespace {

using sandbox::JournalEntry;
using testsupport::kKeysInMapOrder;
using testsupport::PluginSession;

JournalEntry registration(const std::string& name, const std::string& defaultValue) {
    return {"CVarManagerWrapper::registerCvar", {name, defaultValue, "", "true", "false", "0", "false", "0", "true"}};
}

// Everything onLoad asks of the host, with or without a configuration file to replay.
std::vector<JournalEntry> expectedLoad(bool withConfigFile) {
    std::vector<JournalEntry> calls{
        registration("kvanescale", "1.0"),
        {"CVarWrapper::addOnValueChanged", {"kvanescale"}},
        registration("kvanetransparency", "0"),
        {"CVarWrapper::addOnValueChanged", {"kvanetransparency"}},
    };
    for (const auto& key : kKeysInMapOrder) {
        calls.push_back(registration(key, key));
        calls.push_back({"CVarWrapper::addOnValueChanged", {key}});
        calls.push_back({"CVarManagerWrapper::getCvar", {key}});
        calls.push_back({"CVarWrapper::notify", {key}});
        // The binding handler that notify runs: the value, its index, the value again.
        calls.push_back({"CVarWrapper::getStringValue", {key}});
        calls.push_back({"GameWrapper::GetFNameIndexByString", {key}});
        calls.push_back({"CVarWrapper::getStringValue", {key}});
    }
    if (withConfigFile) {
        calls.push_back({"CVarManagerWrapper::loadCfg", {"./bakkesmod/cfg/keyvane.cfg"}});
        calls.push_back({"CVarWrapper::getFloatValue", {"kvanescale"}});
        calls.push_back({"CVarWrapper::getFloatValue", {"kvanetransparency"}});
    }
    calls.push_back({"GameWrapper::SetTimeout", {"<function>", "1"}});
    calls.push_back({"GameWrapper::HookEvent", {testsupport::kTickEvent, "<function>"}});
    return calls;
}

TEST(PluginLoad, WithoutAConfigurationFileRegistersResolvesAndHooksInOrder) {
    PluginSession session;
    session.load();
    EXPECT_EQ(session.host.journal(), expectedLoad(false));
}

TEST(PluginLoad, AReadableConfigurationFileIsReplayedBeforeTheTimerAndTheHook) {
    PluginSession session;
    testsupport::writeFile(session.home.configFile(), "kvanescale \"1.500000\"\nkvanetransparency \"0.250000\"\n");
    session.load();
    EXPECT_EQ(session.host.journal(), expectedLoad(true));
    EXPECT_EQ(session.keyvane().scale.load(), 1.5f);
    EXPECT_EQ(session.keyvane().transparency.load(), 0.25f);
}

TEST(PluginLoad, BuildsTheTwentyEightKeysWithTheirLabelsAndBindings) {
    PluginSession session;
    session.load();
    const std::map<std::string, std::string> labels{{"One", "1"},
                                                    {"Two", "2"},
                                                    {"Three", "3"},
                                                    {"Four", "4"},
                                                    {"Five", "5"},
                                                    {"Tab", "Tab"},
                                                    {"A", "A"},
                                                    {"Z", "Z"},
                                                    {"E", "E"},
                                                    {"R", "R"},
                                                    {"T", "T"},
                                                    {"CapsLock", "Caps"},
                                                    {"Q", "Q"},
                                                    {"S", "S"},
                                                    {"D", "D"},
                                                    {"F", "F"},
                                                    {"G", "G"},
                                                    {"LeftShift", "Shift"},
                                                    {"W", "W"},
                                                    {"X", "X"},
                                                    {"C", "C"},
                                                    {"V", "V"},
                                                    {"LeftControl", "Ctrl"},
                                                    {"LeftAlt", "Alt"},
                                                    {"SpaceBar", "Space"},
                                                    {"LeftMouseButton", ""},
                                                    {"MiddleMouseButton", ""},
                                                    {"RightMouseButton", ""}};
    const auto& table = session.keyvane().keyTable;
    ASSERT_EQ(table.size(), 28u);
    std::vector<std::string> walked;
    for (const auto& [name, state] : table) {
        walked.push_back(name);
        ASSERT_EQ(labels.count(name), 1u) << name;
        EXPECT_EQ(state.label, labels.at(name)) << name;
        EXPECT_EQ(state.nameIndex, sandbox::Host::keyIndex(name)) << name;
        EXPECT_GT(state.nameIndex, 0) << name;
        EXPECT_FALSE(state.pressed.load()) << name;
        // The binding variable is named like the key and defaults to the key, not the label.
        EXPECT_EQ(session.host.variableValue(name), name);
    }
    EXPECT_EQ(walked, kKeysInMapOrder);
    EXPECT_EQ(session.host.variableValue("kvanescale"), "1.0");
    EXPECT_EQ(session.host.variableValue("kvanetransparency"), "0");
}

TEST(PluginLoad, UnloadWritesTheFileAndLeavesTheObjectToTheHost) {
    PluginSession session;
    session.load();
    EXPECT_FALSE(std::filesystem::exists(session.home.configFile()));
    const auto before = session.host.journal().size();
    session.unload();
    EXPECT_EQ(testsupport::readFile(session.home.configFile()), testsupport::configText("1.000000", "0.000000"));
    // onUnload asks nothing of the host; the host withdraws the plugin's registrations itself.
    EXPECT_EQ(session.host.journal().size(), before);
    EXPECT_FALSE(session.host.variableValue("kvanescale"));
    EXPECT_EQ(session.host.pendingTimers(), 0u);
}

}  // namespace
