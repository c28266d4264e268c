#pragma once

#include "playback/beat_source.h"

namespace tavrelia {

// The beat an operator taps: each tap is a beat and sets the grid's phase there, the
// taps' mean interval its tempo; the beats go on at that tempo after the last tap.
class TapBeat : public BeatSource {
    Q_OBJECT
public:
    using BeatSource::BeatSource;

    // A tap at `at`, and the interval of the taps so far (from the second tap on).
    void tap(Clock::time_point at, std::optional<int> beatMs);

    double bpm() const override { return beatMs_ > 0 ? 60000.0 / beatMs_ : 0; }
    std::optional<Beat> nextBeat(Clock::time_point after, int quantum) const override;
    bool lost(Clock::time_point) const override { return !tapped_; }

private:
    Clock::duration beat() const;

    bool tapped_ = false;
    Clock::time_point anchor_{};   // the last tap
    int64_t count_ = 0;            // the last tap's beat
    double beatMs_ = 0;
};

}  // namespace tavrelia
