// The pacing decision from frame counts over half-second windows.
#include "sandbox/live/frame_pacer.h"

namespace sandbox::live {
namespace {

constexpr std::chrono::milliseconds kWindow(500);
constexpr double kAssumedDisplayHz = 60.0;
// Frames a little faster than the display still mean it waits (its rate is only nominal); clearly
// faster means it does not.
constexpr double kWaitingDisplaySlack = 1.25;
constexpr double kStoppedWaitingFactor = 1.5;

}  // namespace

FramePacer::FramePacer(double rate, double displayHz, Clock::time_point start)
    : period_(std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / rate))),
      displayHz_(displayHz > 0 ? displayHz : kAssumedDisplayHz), windowStart_(start), beat_(start) {}

void FramePacer::endWindow(Clock::time_point now) {
    const double seconds = std::chrono::duration<double>(now - windowStart_).count();
    const double framesPerSecond = static_cast<double>(framesInWindow_) / seconds;
    if (mode_ == Mode::Finding) {
        mode_ = framesPerSecond <= displayHz_ * kWaitingDisplaySlack ? Mode::Display : Mode::Beat;
    } else if (mode_ == Mode::Display && framesPerSecond > displayHz_ * kStoppedWaitingFactor) {
        mode_ = Mode::Beat;
    }
    if (mode_ == Mode::Beat) beat_ = now;
    windowStart_ = now;
    framesInWindow_ = 0;
}

FramePacer::Clock::time_point FramePacer::nextFrame(Clock::time_point now, bool presented) {
    if (mode_ != Mode::Beat) {
        ++framesInWindow_;
        if (now - windowStart_ >= kWindow) endWindow(now);
        if (mode_ != Mode::Beat) {
            if (presented) return now;
            return now + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / displayHz_));
        }
    }
    // The beat keeps its own time, so sleeping late once does not slow every later frame; a frame
    // that took longer than a whole period starts the beat afresh.
    beat_ += period_;
    if (beat_ + period_ < now) beat_ = now;
    return beat_ > now ? beat_ : now;
}

}  // namespace sandbox::live
