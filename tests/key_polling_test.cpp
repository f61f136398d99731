// Key bindings and polling: what a binding change resolves, which game states let a tick refresh the
// pressed flags, and which keys it asks the game about.
#include <gtest/gtest.h>

#include "support/plugin_session.h"

namespace {

using sandbox::GameMode;
using sandbox::Host;
using sandbox::JournalEntry;
using testsupport::kKeysInMapOrder;
using testsupport::kTickEvent;

struct KeyPolling : ::testing::Test {
    testsupport::PluginSession session;
    void SetUp() override { session.load(); }

    Keyvane& plugin() { return session.keyvane(); }
    bool pressed(const std::string& key) { return plugin().keyTable.at(key).pressed.load(); }

    // The host calls of one tick.
    std::vector<JournalEntry> tick() {
        const auto start = session.host.journal().size();
        session.host.fireEvent(kTickEvent);
        return session.journalSince(start);
    }
    std::vector<JournalEntry> pollsOf(const std::vector<std::string>& keys) {
        std::vector<JournalEntry> polls;
        for (const auto& key : keys) {
            polls.push_back({"GameWrapper::IsKeyPressed", {std::to_string(Host::keyIndex(key))}});
        }
        return polls;
    }
};

const JournalEntry kAskTraining{"GameWrapper::IsInCustomTraining", {}};
const JournalEntry kAskGame{"GameWrapper::IsInGame", {}};
const JournalEntry kAskOnline{"GameWrapper::IsInOnlineGame", {}};

std::vector<JournalEntry> joined(std::vector<JournalEntry> first, const std::vector<JournalEntry>& rest) {
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
}

TEST_F(KeyPolling, GateAsksCustomTrainingFirstAndStopsAtTheFirstDecisiveAnswer) {
    session.host.setGameMode(GameMode::CustomTraining);  // IsInGame would be true here too
    EXPECT_EQ(tick(), (std::vector<JournalEntry>{kAskTraining}));
    session.host.setGameMode(GameMode::Menu);
    EXPECT_EQ(tick(), (std::vector<JournalEntry>{kAskTraining, kAskGame, kAskOnline}));
    session.host.setGameMode(GameMode::LocalMatch);
    EXPECT_EQ(tick(), joined({kAskTraining, kAskGame}, pollsOf(kKeysInMapOrder)));
    session.host.setGameMode(GameMode::OnlineMatch);
    EXPECT_EQ(tick(), joined({kAskTraining, kAskGame, kAskOnline}, pollsOf(kKeysInMapOrder)));
}

TEST_F(KeyPolling, FlagsFollowHeldKeysInAGameAndKeepTheirLastValuesOutsideOne) {
    session.host.setGameMode(GameMode::OnlineMatch);
    session.host.setKeyHeld("A", true);
    session.host.setKeyHeld("LeftMouseButton", true);
    tick();
    EXPECT_TRUE(pressed("A"));
    EXPECT_TRUE(pressed("LeftMouseButton"));
    EXPECT_FALSE(pressed("Z"));

    session.host.setGameMode(GameMode::Menu);
    session.host.setKeyHeld("A", false);
    session.host.setKeyHeld("Z", true);
    tick();
    EXPECT_TRUE(pressed("A"));   // held when the match was left
    EXPECT_FALSE(pressed("Z"));  // pressed since, never polled

    session.host.setGameMode(GameMode::CustomTraining);
    tick();
    EXPECT_TRUE(pressed("A"));
    EXPECT_FALSE(pressed("Z"));

    session.host.setGameMode(GameMode::LocalMatch);
    tick();
    EXPECT_FALSE(pressed("A"));
    EXPECT_TRUE(pressed("Z"));
}

TEST_F(KeyPolling, ResettingABindingToItsOwnKeyReResolvesOnlyThatEntry) {
    plugin().keyTable.at("A").nameIndex = 0;
    plugin().keyTable.at("Q").nameIndex = 0;
    const auto start = session.host.journal().size();
    ASSERT_TRUE(session.host.execute("A A").ok);
    EXPECT_EQ(session.journalSince(start), (std::vector<JournalEntry>{{"CVarWrapper::getStringValue", {"A"}},
                                                                      {"GameWrapper::GetFNameIndexByString", {"A"}},
                                                                      {"CVarWrapper::getStringValue", {"A"}}}));
    EXPECT_EQ(plugin().keyTable.at("A").nameIndex, Host::keyIndex("A"));
    EXPECT_EQ(plugin().keyTable.at("Q").nameIndex, 0);
    EXPECT_EQ(plugin().keyTable.at("A").label, "A");
    EXPECT_EQ(plugin().keyTable.size(), 28u);
}

TEST_F(KeyPolling, BindingAToQResolvesTheEntryQAndLeavesAFollowingTheAKey) {
    ASSERT_TRUE(session.host.execute("A Q").ok);
    EXPECT_EQ(plugin().keyTable.size(), 28u);
    EXPECT_EQ(plugin().keyTable.at("A").nameIndex, Host::keyIndex("A"));
    EXPECT_EQ(plugin().keyTable.at("Q").nameIndex, Host::keyIndex("Q"));

    session.host.setGameMode(GameMode::LocalMatch);
    session.host.setKeyHeld("A", true);
    tick();
    EXPECT_TRUE(pressed("A"));
    EXPECT_FALSE(pressed("Q"));
}

TEST_F(KeyPolling, BindingToAKeyOutsideTheTableAddsAPolledEntry) {
    session.host.setGameMode(GameMode::LocalMatch);
    tick();  // the polling has walked the table before it grows
    ASSERT_TRUE(session.host.execute("A F1").ok);
    ASSERT_EQ(plugin().keyTable.size(), 29u);
    const KeyState& added = plugin().keyTable.at("F1");
    EXPECT_EQ(added.nameIndex, Host::keyIndex("F1"));
    EXPECT_EQ(added.label, "");
    EXPECT_FALSE(added.pressed.load());

    session.host.setGameMode(GameMode::LocalMatch);
    session.host.setKeyHeld("F1", true);
    auto keys = kKeysInMapOrder;
    keys.insert(keys.begin() + 6, "F1");  // between "F" and "Five"
    EXPECT_EQ(tick(), joined({kAskTraining, kAskGame}, pollsOf(keys)));
    EXPECT_TRUE(pressed("F1"));
}

TEST_F(KeyPolling, UnresolvedNamesAddNoEntryAndUnresolvedEntriesAreNeverPolled) {
    // An entry for a name the game does not resolve would never be polled nor drawn.
    ASSERT_TRUE(session.host.execute("A NoSuchKey").ok);
    EXPECT_EQ(plugin().keyTable.count("NoSuchKey"), 0u);
    EXPECT_EQ(plugin().keyTable.size(), 28u);

    plugin().keyTable.at("Z").nameIndex = -7;  // a negative index is skipped as well
    session.host.setGameMode(GameMode::LocalMatch);
    session.host.setKeyHeld("Z", true);
    auto keys = kKeysInMapOrder;
    std::erase(keys, "Z");
    EXPECT_EQ(tick(), joined({kAskTraining, kAskGame}, pollsOf(keys)));
    EXPECT_FALSE(pressed("Z"));
}

}  // namespace
