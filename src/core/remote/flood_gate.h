#pragma once

#include <chrono>

namespace tavrelia {

// How many messages one client may send: a bucket of `burst` that refills at `rate`
// a second. A page dragging a fader sends about sixty a second and never runs dry;
// a client that sends faster has the rest refused, cheaply, before anything reads
// them.
class FloodGate {
public:
    using Clock = std::chrono::steady_clock;

    FloodGate(int burst, int rate, Clock::time_point now) : burst_(burst), rate_(rate), tokens_(burst), last_(now) {}

    // Whether one more message may pass now.
    bool admit(Clock::time_point now);

private:
    double burst_;
    double rate_;
    double tokens_;
    Clock::time_point last_;
};

}  // namespace tavrelia
