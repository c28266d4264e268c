#pragma once

#include <array>
#include <chrono>
#include <cstdint>

namespace tavrelia {

// Follows a MIDI clock of 24 pulses a beat: its beat smoothed over the last four
// beats, and the pulses that are beats, counted from the first pulse (or from the
// first after a start).
class ClockFollower {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kPulsesPerBeat = 24;
    static constexpr Clock::duration kLost = std::chrono::seconds(2);

    enum class Step {
        None,
        Beat,    // this pulse is a beat
        First,   // the first beat after a start
    };

    Step pulse(Clock::time_point at);
    // Start: the next pulse is the first beat.
    void start() { started_ = true; }
    // No pulse for more than kLost: the next one counts afresh.
    bool lost(Clock::time_point now) const { return count_ == 0 || now - last() > kLost; }
    void forget() { count_ = 0; }
    // When the last pulse came (read from its device), or nothing while none is known.
    Clock::time_point lastPulse() const { return count_ == 0 ? Clock::time_point{} : last(); }

    // The smoothed beat in ms, 0 until two pulses are known.
    double beatMs() const;
    // Beats since the first, the one of the last pulse that was a beat.
    int64_t beats() const { return pulses_ / kPulsesPerBeat; }

private:
    static constexpr int kWindow = 4 * kPulsesPerBeat + 1;
    Clock::time_point last() const { return times_[(next_ + kWindow - 1) % kWindow]; }

    std::array<Clock::time_point, kWindow> times_{};
    int next_ = 0;    // where the next pulse's time goes
    int count_ = 0;   // times kept, up to kWindow
    int64_t pulses_ = 0;  // since the first beat
    bool started_ = false;
};

}  // namespace tavrelia
