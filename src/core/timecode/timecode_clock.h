#pragma once

#include <chrono>
#include <cstdint>

#include "timecode/timecode_time.h"

namespace tavrelia {

// The time a timecode source gives, between what it says: the last position heard
// and when, run on at the rate in its direction. Silent for two frames, it
// freewheels on until the freewheel's frames (counted from the last heard) are
// done, then holds there. A located position (a full frame) stands still.
class TimecodeClock {
public:
    using Clock = std::chrono::steady_clock;
    enum class State { None, Running, Freewheeling, Stopped };
    static constexpr int kSilenceFrames = 2;

    void setFreewheelFrames(int frames) { freewheel_ = frames < 0 ? 0 : frames; }
    int freewheelFrames() const { return freewheel_; }

    // A position at `at`: moving (direction 1 or -1) or standing (0).
    void heard(int64_t quarters, TimecodeRate rate, int direction, Clock::time_point at);
    void clear() { known_ = false; }

    bool known() const { return known_; }
    State state(Clock::time_point now) const;
    // Quarter frames since midnight at now (within one day).
    double quarters(Clock::time_point now) const;
    TimecodeRate rate() const { return rate_; }
    int direction() const { return direction_; }
    Clock::time_point lastHeard() const { return at_; }
    Clock::duration frameDuration() const;

private:
    Clock::duration runLimit() const;

    bool known_ = false;
    int64_t quarters_ = 0;
    TimecodeRate rate_ = TimecodeRate::Fps25;
    int direction_ = 0;
    Clock::time_point at_{};
    int freewheel_ = 25;
};

}  // namespace tavrelia
