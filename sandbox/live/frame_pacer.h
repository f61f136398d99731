// When the live window draws its next frame: as soon as the display's vertical sync lets it, or,
// where swapping does not wait for the display (no vsync, a virtual screen), on a fixed beat at the
// session's rate, so an idle window costs little.
//
// The first half second runs unpaced to find out which of the two holds; a display that later stops
// waiting (a hidden window, say) hands over to the beat for good.
#pragma once

#include <chrono>

namespace sandbox::live {

class FramePacer {
public:
    using Clock = std::chrono::steady_clock;

    // rate: frames per second on the beat. displayHz: the display's refresh rate (0 if unknown).
    FramePacer(double rate, double displayHz, Clock::time_point start);

    // Called right after a frame; returns when the next frame should start (`now` itself when the
    // display does the waiting). presented: the frame was swapped to the screen; one that was not
    // waited for no display, so it waits one display period here instead.
    Clock::time_point nextFrame(Clock::time_point now, bool presented = true);

    bool pacedByDisplay() const { return mode_ == Mode::Display; }
    // Still finding out: every frame must be presented, or the finding measures nothing.
    bool finding() const { return mode_ == Mode::Finding; }

private:
    enum class Mode { Finding, Display, Beat };
    void endWindow(Clock::time_point now);

    Clock::duration period_;
    double displayHz_;
    Mode mode_ = Mode::Finding;
    Clock::time_point windowStart_;
    long framesInWindow_ = 0;
    Clock::time_point beat_;
};

}  // namespace sandbox::live
