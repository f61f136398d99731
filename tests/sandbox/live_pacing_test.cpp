// How the live window paces and skips frames, on made-up clocks: it follows a display that waits
// for vertical sync, keeps its own beat where swapping does not wait, and presents only a changed
// picture.
#include <gtest/gtest.h>

#include "sandbox/live/frame_memory.h"
#include "sandbox/live/frame_pacer.h"

using namespace sandbox::live;
using namespace std::chrono_literals;
using Clock = FramePacer::Clock;

namespace {

// Runs frames that each take `frameTime` before the pacer is asked, for `seconds`; returns the
// last start time the pacer gave.
Clock::time_point runFrames(FramePacer& pacer, Clock::time_point& now, Clock::duration frameTime,
                            Clock::duration length, bool presented = true) {
    const Clock::time_point end = now + length;
    Clock::time_point next = now;
    while (now < end) {
        now += frameTime;
        next = pacer.nextFrame(now, presented);
        if (next > now) now = next;
    }
    return next;
}

}  // namespace

TEST(FramePacing, ADisplayThatWaitsForItsRefreshSetsThePace) {
    Clock::time_point now{};
    FramePacer pacer(60.0, 60.0, now);
    EXPECT_TRUE(pacer.finding());
    // Swaps that block until the next refresh: frames come at 60 a second by themselves.
    runFrames(pacer, now, 16667us, 1s);
    EXPECT_FALSE(pacer.finding());
    EXPECT_TRUE(pacer.pacedByDisplay());
    EXPECT_EQ(pacer.nextFrame(now + 16667us), now + 16667us);  // no waiting of its own
    // A picture left unpresented waited for no display: it waits one refresh here.
    const Clock::time_point unpresented = now + 33334us;
    EXPECT_NEAR(std::chrono::duration<double>(pacer.nextFrame(unpresented, false) - unpresented).count(), 1.0 / 60.0,
                1e-6);
}

TEST(FramePacing, WithoutVsyncFramesKeepABeatAtTheRate) {
    Clock::time_point now{};
    FramePacer pacer(60.0, 60.0, now);
    runFrames(pacer, now, 2ms, 600ms);  // 500 frames a second: swapping does not wait
    EXPECT_FALSE(pacer.pacedByDisplay());
    EXPECT_FALSE(pacer.finding());
    // From now on a frame starts every sixtieth of a second, however quickly the last one ended.
    Clock::time_point first = pacer.nextFrame(now + 1ms);
    Clock::time_point second = pacer.nextFrame(first + 2ms);
    EXPECT_NEAR(std::chrono::duration<double>(second - first).count(), 1.0 / 60.0, 1e-6);
    // A frame that overran its slot by more than a whole period starts the beat afresh, not in a hurry.
    const Clock::time_point late = second + 100ms;
    EXPECT_EQ(pacer.nextFrame(late), late);
    EXPECT_NEAR(std::chrono::duration<double>(pacer.nextFrame(late + 1ms) - late).count(), 1.0 / 60.0, 1e-6);
}

TEST(FramePacing, ADisplayThatStopsWaitingHandsOverToTheBeatForGood) {
    Clock::time_point now{};
    FramePacer pacer(30.0, 60.0, now);
    runFrames(pacer, now, 16667us, 1s);
    ASSERT_TRUE(pacer.pacedByDisplay());
    runFrames(pacer, now, 1ms, 1s);  // a hidden window: swaps return at once
    EXPECT_FALSE(pacer.pacedByDisplay());
    const Clock::time_point start = pacer.nextFrame(now);
    EXPECT_NEAR(std::chrono::duration<double>(pacer.nextFrame(start) - start).count(), 1.0 / 30.0, 1e-6);
}

TEST(FramePacing, AnUnknownRefreshRateCountsAsSixty) {
    Clock::time_point now{};
    FramePacer pacer(60.0, 0.0, now);
    runFrames(pacer, now, 16667us, 1s);
    EXPECT_TRUE(pacer.pacedByDisplay());
}

namespace {

// A draw list on a context of its own, with one filled rectangle.
struct OneRectangle {
    OneRectangle() {
        context = ImGui::CreateContext();
        ImGui::SetCurrentContext(context);
        ImGui::GetIO().DisplaySize = ImVec2(640, 480);
        ImGui::GetIO().IniFilename = nullptr;  // no settings file left behind
        unsigned char* pixels = nullptr;
        int width = 0, height = 0;
        ImGui::GetIO().Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
    }
    ~OneRectangle() { ImGui::DestroyContext(context); }

    ImDrawData* frame(ImU32 colour, float left = 10) {
        ImGui::NewFrame();
        ImGui::GetForegroundDrawList()->AddRectFilled(ImVec2(left, 10), ImVec2(50, 50), colour);
        ImGui::Render();
        return ImGui::GetDrawData();
    }

    ImGuiContext* context;
};

}  // namespace

TEST(FrameMemory, OnlyAChangedPictureOrScreenCountsAsNew) {
    OneRectangle ui;
    FrameMemory memory;
    EXPECT_FALSE(memory.sameAsLast(ui.frame(IM_COL32_BLACK), 640, 480));  // nothing remembered yet
    EXPECT_TRUE(memory.sameAsLast(ui.frame(IM_COL32_BLACK), 640, 480));
    EXPECT_FALSE(memory.sameAsLast(ui.frame(IM_COL32(156, 156, 156, 255)), 640, 480));  // a held key
    EXPECT_TRUE(memory.sameAsLast(ui.frame(IM_COL32(156, 156, 156, 255)), 640, 480));
    EXPECT_FALSE(memory.sameAsLast(ui.frame(IM_COL32(156, 156, 156, 255), 11), 640, 480));  // moved
    EXPECT_FALSE(memory.sameAsLast(ui.frame(IM_COL32(156, 156, 156, 255), 11), 800, 480));  // resized
    memory.forget();  // the window was uncovered: its picture must be drawn again
    EXPECT_FALSE(memory.sameAsLast(ui.frame(IM_COL32(156, 156, 156, 255), 11), 800, 480));
    EXPECT_FALSE(memory.sameAsLast(nullptr, 800, 480));
}
