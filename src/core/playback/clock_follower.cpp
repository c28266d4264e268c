#include "playback/clock_follower.h"

namespace tavrelia {

ClockFollower::Step ClockFollower::pulse(Clock::time_point at)
{
    const bool afresh = lost(at) || at < last();
    if (afresh)
        count_ = 0;
    times_[next_] = at;
    next_ = (next_ + 1) % kWindow;
    if (count_ < kWindow)
        ++count_;
    if (started_) {
        started_ = false;
        pulses_ = 0;
        return Step::First;
    }
    if (afresh) {
        pulses_ = 0;   // this pulse is a beat: the scenes count from here
        return Step::Beat;
    }
    ++pulses_;
    return pulses_ % kPulsesPerBeat == 0 ? Step::Beat : Step::None;
}

double ClockFollower::beatMs() const
{
    if (count_ < 2)
        return 0;
    const Clock::time_point oldest = times_[(next_ + kWindow - count_) % kWindow];
    const std::chrono::duration<double, std::milli> span = last() - oldest;
    return span.count() / (count_ - 1) * kPulsesPerBeat;
}

}  // namespace tavrelia
