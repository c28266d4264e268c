#include "timecode/timecode_clock.h"

#include <algorithm>
#include <cmath>

namespace tavrelia {

void TimecodeClock::heard(int64_t quarters, TimecodeRate rate, int direction, Clock::time_point at)
{
    known_ = true;
    quarters_ = quarters;
    rate_ = rate;
    direction_ = direction;
    at_ = at;
}

TimecodeClock::Clock::duration TimecodeClock::frameDuration() const
{
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(1.0 / TimecodeTime::realFramesPerSecond(rate_)));
}

TimecodeClock::Clock::duration TimecodeClock::runLimit() const
{
    return frameDuration() * std::max(kSilenceFrames, freewheel_);
}

TimecodeClock::State TimecodeClock::state(Clock::time_point now) const
{
    if (!known_)
        return State::None;
    if (direction_ == 0)
        return State::Stopped;
    const Clock::duration silent = now - at_;
    if (silent < frameDuration() * kSilenceFrames)
        return State::Running;
    return silent < runLimit() ? State::Freewheeling : State::Stopped;
}

double TimecodeClock::quarters(Clock::time_point now) const
{
    if (!known_)
        return 0;
    const Clock::duration run = std::clamp(now - at_, Clock::duration::zero(), runLimit());
    const double frames = std::chrono::duration<double>(run).count() * TimecodeTime::realFramesPerSecond(rate_);
    const double day = double(TimecodeTime::framesPerDay(rate_)) * 4;
    const double q = std::fmod(double(quarters_) + direction_ * frames * 4, day);
    return q < 0 ? q + day : q;
}

}  // namespace tavrelia
