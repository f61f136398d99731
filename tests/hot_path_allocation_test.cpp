// Heap use of the paths that run in every game frame, counted exactly with the journal off: once
// warm, a drawn frame allocates nothing, a viewport tick only the event name handed to each hook,
// and a settings change only what writing its file and one copy of the variable's handle take.
#include <gtest/gtest.h>

#include "support/bare_frames.h"
#include "support/heap_counter.h"
#include "support/overlay_frame.h"

namespace {

using testsupport::allocationsOf;
using testsupport::kTickEvent;

struct HotPaths : ::testing::Test {
    testsupport::OverlaySession session;

    void SetUp() override {
        session.host.setJournalEnabled(false);
        for (const char* key : {"A", "LeftShift", "SpaceBar", "LeftMouseButton"}) session.host.setKeyHeld(key, true);
        warmUp();
    }
    // The first frames size the library's buffers; a steady frame only reuses them.
    void warmUp() {
        for (int i = 0; i < 3; ++i) {
            session.host.fireEvent(kTickEvent);
            session.frame();
            testsupport::emptyOverlayFrame(session.ui->context());
        }
    }
};

TEST_F(HotPaths, ADrawnFrameAllocatesNoMoreThanAnEmptyWindowWhichAllocatesNothing) {
    EXPECT_EQ(allocationsOf([&] { testsupport::emptyOverlayFrame(session.ui->context()); }), 0u);
    EXPECT_EQ(allocationsOf([&] { session.frame(); }), 0u);
    ASSERT_TRUE(session.drawnInLastFrame());
    EXPECT_GT(session.window()->DrawList->VtxBuffer.Size, 0);

    // New key states change colours only; a frame the game state stops allocates nothing either.
    session.host.setKeyHeld("A", false);
    session.host.setKeyHeld("Z", true);
    session.host.fireEvent(kTickEvent);
    EXPECT_EQ(allocationsOf([&] { session.frame(); }), 0u);
    session.host.setMatchEnded(true);
    EXPECT_EQ(allocationsOf([&] { session.frame(); }), 0u);
    EXPECT_FALSE(session.drawnInLastFrame());
}

TEST_F(HotPaths, ATickAllocatesOnlyTheEventNameHandedToEachHook) {
    // The name is longer than a string's own buffer, so each hook's copy of it takes one block.
    EXPECT_EQ(allocationsOf([&] { session.host.fireEvent(kTickEvent); }), 1u);
    EXPECT_TRUE(session.keyvane().keyTable.at("SpaceBar").pressed.load());

    session.host.setGameMode(sandbox::GameMode::Menu);
    EXPECT_EQ(allocationsOf([&] { session.host.fireEvent(kTickEvent); }), 1u);

    // A second plugin hooked to the same event: one copy per hook call.
    const auto other = session.host.newOwner();
    session.host.gameWrapperFor(other)->HookEvent(kTickEvent, [](std::string) {});
    session.host.setGameMode(sandbox::GameMode::OnlineMatch);
    session.host.fireEvent(kTickEvent);
    EXPECT_EQ(allocationsOf([&] { session.host.fireEvent(kTickEvent); }), 2u);
}

TEST_F(HotPaths, ASettingsChangeAllocatesOnlyWhatItsFileWriteTakes) {
    auto& plugin = session.module->plugin();
    plugin.onUnload();  // the same write the change handlers make
    const std::size_t fileWrite = allocationsOf([&] { plugin.onUnload(); });

    const auto other = session.host.newOwner();
    for (const std::string name : {"kvanescale", "kvanetransparency"}) {
        // What the host's console itself spends on such a line: a variable of a name just as long,
        // with a handler that does nothing.
        const std::string probe(name.size(), 'x');
        CVarWrapper probeHandle = session.host.cvarManagerFor(other)->registerCvar(probe, "0");
        probeHandle.addOnValueChanged([](std::string, CVarWrapper) {});
        // The plugin's handler hands the variable's handle on to its setter by value, and the
        // SDK's handles keep their state behind a pointer: one copy of a handle besides the file.
        const std::size_t handleCopy = allocationsOf([&] { CVarWrapper copy(probeHandle); });
        for (const char* value : {"0.5", "0.75"}) {
            const std::size_t console = allocationsOf([&] { session.host.execute(probe + " " + value); });
            const std::size_t change = allocationsOf([&] { session.host.execute(name + " " + value); });
            EXPECT_EQ(change - console, fileWrite + handleCopy) << name << " " << value;
        }
    }
    EXPECT_EQ(testsupport::readFile(session.home.configFile()),
              "kvanescale \"0.750000\"\nkvanetransparency \"0.750000\"\n");
}

}  // namespace
