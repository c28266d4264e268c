#include "audio/audio_beat.h"

namespace tavrelia {

AudioBeat::AudioBeat(AudioInput& input, QObject* parent) : BeatSource(parent), input_(input)
{
    connect(&input_, &AudioInput::beatChanged, this, &BeatSource::moved);
}

}  // namespace tavrelia
