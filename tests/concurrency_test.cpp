// The game's two threads and a console, driven at once as the game drives them: the host runs the
// game thread's work one piece at a time and the window operations only on the drawing thread, so
// the plugin's own code never meets itself. Meant to run under ThreadSanitizer too.
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "bakkesmod/plugin/pluginwindow.h"
#include "support/config_text.h"
#include "support/overlay_frame.h"

namespace {

using sandbox::Host;
using testsupport::kKeysInMapOrder;
using testsupport::OverlaySession;

// Notes any moment at which two threads are inside game-thread work at once. Nested work on one
// thread (a handler that runs a console line) is no overlap.
class OverlapWatch {
public:
    class Inside {
    public:
        explicit Inside(OverlapWatch& watch) : watch_(watch) {
            previous_ = watch_.holder_.exchange(std::this_thread::get_id());
            if (previous_ != std::thread::id() && previous_ != std::this_thread::get_id()) ++watch_.overlaps_;
        }
        ~Inside() { watch_.holder_.store(previous_); }
        Inside(const Inside&) = delete;
        Inside& operator=(const Inside&) = delete;

    private:
        OverlapWatch& watch_;
        std::thread::id previous_;
    };
    int overlaps() const { return overlaps_.load(); }

private:
    std::atomic<std::thread::id> holder_{};
    std::atomic<int> overlaps_{0};
};

TEST(GameThread, WorkAskedForFromThreeThreadsRunsOnePieceAtATimeAndMayCallBackIn) {
    Host host;
    auto console = host.cvarManagerFor(host.newOwner());
    auto game = host.gameWrapperFor(host.newOwner());
    OverlapWatch watch;
    std::atomic<int> handlerRuns{0};
    std::atomic<int> hookRuns{0};
    CVarWrapper echo = console->registerCvar("echo", "0");
    CVarWrapper probe = console->registerCvar("probe", "0");
    echo.addOnValueChanged([&](std::string, CVarWrapper) {
        OverlapWatch::Inside inside(watch);
        ++handlerRuns;
    });
    probe.addOnValueChanged([&](std::string, CVarWrapper changed) {
        OverlapWatch::Inside inside(watch);
        // Calling back into the host from a handler: a console line, a look-up, a read.
        console->executeCommand("echo " + changed.getStringValue());
        EXPECT_FALSE(console->getCvar("echo").IsNull());
        ++handlerRuns;
    });
    game->HookEvent("Tick", [&](std::string) {
        OverlapWatch::Inside inside(watch);
        ++hookRuns;
    });
    constexpr int kEach = 2000;
    std::thread lines([&] {
        for (int i = 0; i < kEach; ++i) host.execute("probe " + std::to_string(i));
    });
    std::thread ticks([&] {
        for (int i = 0; i < kEach; ++i) host.fireEvent("Tick");
    });
    for (int i = 0; i < kEach; ++i) probe.setValue(std::to_string(-i));
    lines.join();
    ticks.join();
    EXPECT_EQ(watch.overlaps(), 0);
    EXPECT_EQ(handlerRuns.load(), 4 * kEach);  // each probe change runs echo's handler as well
    EXPECT_EQ(hookRuns.load(), kEach);
}

// A window that notes on which thread the host called each of its operations.
struct ThreadNotingWindow : BakkesMod::Plugin::PluginWindow {
    std::atomic<int> callsOffTheDrawingThread{0};
    std::atomic<int> opened{0};
    std::atomic<int> closed{0};
    std::thread::id drawingThread = std::this_thread::get_id();
    void note() {
        if (std::this_thread::get_id() != drawingThread) ++callsOffTheDrawingThread;
    }
    void Render() override { note(); }
    std::string GetMenuName() override { return "noted"; }
    std::string GetMenuTitle() override { return "Noted"; }
    void SetImGuiContext(std::uintptr_t) override {}
    bool ShouldBlockInput() override { return false; }
    bool IsActiveOverlay() override { return false; }
    void OnOpen() override {
        note();
        ++opened;
    }
    void OnClose() override {
        note();
        ++closed;
    }
};

TEST(DrawingThread, WindowOperationsRunOnlyInsideDrawWindowsWhereverTheToggleCameFrom) {
    Host host;
    ThreadNotingWindow window;
    host.addWindow(host.newOwner(), &window);
    constexpr int kToggles = 1000;
    auto toggleFromTwoThreads = [&] {
        std::thread console([&] {
            for (int i = 0; i < kToggles; ++i) ASSERT_TRUE(host.execute("togglemenu noted").ok);
        });
        std::thread timers([&] {
            for (int i = 0; i < kToggles; ++i) host.toggleWindow("noted");
        });
        return std::pair{std::move(console), std::move(timers)};
    };
    // No drawing pass: nothing reaches the window, whoever asks.
    auto [console, timers] = toggleFromTwoThreads();
    console.join();
    timers.join();
    EXPECT_EQ(window.opened.load() + window.closed.load(), 0);
    host.drawWindows();
    EXPECT_EQ(window.opened.load(), kToggles);
    EXPECT_EQ(window.closed.load(), kToggles);

    // Drawing all along: each toggle lands in one of the passes.
    auto [console2, timers2] = toggleFromTwoThreads();
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (window.opened.load() + window.closed.load() < 4 * kToggles && std::chrono::steady_clock::now() < giveUp) {
        host.drawWindows();
    }
    console2.join();
    timers2.join();
    EXPECT_EQ(window.callsOffTheDrawingThread.load(), 0);
    EXPECT_EQ(window.opened.load(), 2 * kToggles);
    EXPECT_EQ(window.closed.load(), 2 * kToggles);
    EXPECT_FALSE(host.isWindowOpen("noted"));
}

// --- the plugin, from three threads ------------------------------------------------------------------

struct SettingLine {
    const char* line;
    float scale;  // the setting the line leaves, or a negative number for no change
    float transparency;
};

// Scales and transparencies whose frames all hold the same shapes (a background, whole rounded
// mouse corners), so that every frame can be compared with the first.
constexpr SettingLine kSettingLines[] = {
    {"kvanescale 0.75", 0.75f, -1},    {"kvanetransparency 0.25", -1, 0.25f}, {"kvanescale 1.5", 1.5f, -1},
    {"kvanetransparency 1", -1, 1.0f}, {"kvanescale 1.25", 1.25f, -1},        {"kvanetransparency 0.5", -1, 0.5f},
};

TEST(ThreeThreads, TicksFramesAndConsoleLinesLeaveWhatWasWrittenLastAndEveryFrameWhole) {
    OverlaySession session;
    Host& host = session.host;
    host.setJournalEnabled(false);
    session.set("kvanetransparency 0.5");
    session.frame();  // opens the window: the timer has asked for it
    session.frame();
    ASSERT_TRUE(session.drawnInLastFrame());
    const int wholeFrame = session.window()->DrawList->VtxBuffer.Size;

    constexpr int kTicks = 4000;
    constexpr int kLines = 1200;  // a multiple of the cycle below, so the window ends open
    constexpr int kFrames = 400;
    std::vector<bool> lastHeld(kKeysInMapOrder.size(), false);
    std::thread game([&] {
        for (int i = 0; i < kTicks; ++i) {
            const std::size_t key = static_cast<std::size_t>(i) % kKeysInMapOrder.size();
            const bool held = (i / 7) % 2 == 0;
            host.setKeyHeld(kKeysInMapOrder[key], held);
            lastHeld[key] = held;
            host.fireEvent(testsupport::kTickEvent);
        }
    });
    float lastScale = 1.0f;
    float lastTransparency = 0.5f;
    std::thread console([&] {
        for (int i = 0; i < kLines; ++i) {
            switch (i % 10) {
            case 0: ASSERT_TRUE(host.execute("A F1").ok); break;  // adds an entry
            case 1: ASSERT_TRUE(host.execute("A A").ok); break;
            case 2: ASSERT_TRUE(host.execute("Q Key" + std::to_string(i)).ok); break;  // adds none
            case 3: ASSERT_TRUE(host.execute("togglemenu keyvane").ok); break;
            case 4: ASSERT_TRUE(host.execute("togglemenu keyvane").ok); break;
            default: {
                const SettingLine& setting = kSettingLines[static_cast<std::size_t>(i) % std::size(kSettingLines)];
                ASSERT_TRUE(host.execute(setting.line).ok);
                if (setting.scale > 0) lastScale = setting.scale;
                if (setting.transparency > 0) lastTransparency = setting.transparency;
            }
            }
        }
    });
    int drawn = 0;
    for (int i = 0; i < kFrames; ++i) {
        session.frame();
        if (!session.drawnInLastFrame()) continue;
        ++drawn;
        ASSERT_EQ(session.window()->DrawList->VtxBuffer.Size, wholeFrame) << "frame " << i;
    }
    game.join();
    console.join();

    EXPECT_GT(drawn, 0);
    Keyvane& plugin = session.keyvane();
    EXPECT_EQ(plugin.keyTable.size(), 29u);  // the 28 and F1
    host.fireEvent(testsupport::kTickEvent);
    for (std::size_t key = 0; key < kKeysInMapOrder.size(); ++key) {
        EXPECT_EQ(plugin.keyTable.at(kKeysInMapOrder[key]).pressed.load(), lastHeld[key]) << kKeysInMapOrder[key];
    }
    EXPECT_EQ(plugin.scale.load(), lastScale);
    EXPECT_EQ(plugin.transparency.load(), lastTransparency);
    char scaleText[64];
    char transparencyText[64];
    std::snprintf(scaleText, sizeof scaleText, "%f", static_cast<double>(lastScale));
    std::snprintf(transparencyText, sizeof transparencyText, "%f", static_cast<double>(lastTransparency));
    EXPECT_EQ(testsupport::readFile(session.home.configFile()), testsupport::configText(scaleText, transparencyText));
    session.frame();
    EXPECT_TRUE(session.drawnInLastFrame());
}

}  // namespace
