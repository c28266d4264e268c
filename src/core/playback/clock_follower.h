#pragma once

#include <array>
#include <chrono>

namespace tavrelia {

// Follows a MIDI clock of 24 pulses a beat: its beat smoothed over the last four
// beats, and the pulses on which a scene change falls (every BeatsPerScene beats,
// counted from the first pulse, or from the first after a start).
class ClockFollower {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kPulsesPerBeat = 24;
    static constexpr Clock::duration kLost = std::chrono::seconds(2);

    enum class Step {
        None,
        Beat,    // a beat without a scene change
        Scene,   // a scene change falls on this pulse
        First,   // the first beat after a start: play from the first scene
    };

    bool setBeatsPerScene(int beats);   // 1, 2, 4 or 8; false for any other
    int beatsPerScene() const { return beatsPerScene_; }

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
    // The scene period the beat gives, ms (0 while unknown).
    int periodMs() const;

private:
    static constexpr int kWindow = 4 * kPulsesPerBeat + 1;
    Clock::time_point last() const { return times_[(next_ + kWindow - 1) % kWindow]; }

    std::array<Clock::time_point, kWindow> times_{};
    int next_ = 0;    // where the next pulse's time goes
    int count_ = 0;   // times kept, up to kWindow
    int pulses_ = 0;  // since the first beat, modulo eight beats
    int beatsPerScene_ = 1;
    bool started_ = false;
};

}  // namespace tavrelia
