#pragma once

#include "midi/midi_parser.h"
#include "playback/beat_source.h"
#include "playback/clock_follower.h"

namespace tavrelia {

// A MIDI clock as a beat: its beats come as its pulses do; Start plays from the top,
// Continue plays on, Stop stops.
class ClockBeat : public BeatSource {
    Q_OBJECT
public:
    using BeatSource::BeatSource;

    // A clock's real-time message (pulse, start, continue, stop), read at `at`.
    void message(MidiMessage::Kind kind, Clock::time_point at);
    // When the last pulse came (nothing while none is known).
    Clock::time_point lastPulse() const { return follower_.lastPulse(); }

    void begin() override { follower_.forget(); }
    double bpm() const override;
    std::optional<Beat> nextBeat(Clock::time_point, int) const override { return std::nullopt; }
    bool lost(Clock::time_point now) const override { return follower_.lost(now); }

private:
    ClockFollower follower_;
};

}  // namespace tavrelia
