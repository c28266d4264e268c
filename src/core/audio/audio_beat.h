#pragma once

#include "audio/audio_input.h"
#include "playback/beat_source.h"

namespace tavrelia {

// The beat heard on the sound input: the tracker's tempo and its prediction of the
// next beat, so that a scene changes on the beat rather than when it is detected.
// Through a break the grid runs on for 16 beats; after that the source is lost and
// the sequencer holds the last tempo until the beat is found again.
class AudioBeat : public BeatSource {
    Q_OBJECT
public:
    explicit AudioBeat(AudioInput& input, QObject* parent = nullptr);

    double bpm() const override { return input_.bpm(); }
    std::optional<Beat> nextBeat(Clock::time_point after, int) const override { return input_.nextBeat(after); }
    bool lost(Clock::time_point) const override { return !input_.found(); }

private:
    AudioInput& input_;
};

}  // namespace tavrelia
