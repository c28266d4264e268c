#include "playback/clock_beat.h"

namespace tavrelia {

void ClockBeat::message(MidiMessage::Kind kind, Clock::time_point at)
{
    switch (kind) {
    case MidiMessage::Kind::Clock:
        if (follower_.pulse(at) != ClockFollower::Step::None)
            emit arrived(follower_.beats());
        break;
    case MidiMessage::Kind::Start:
        follower_.start();
        emit started(true);
        break;
    case MidiMessage::Kind::Continue:
        emit started(false);
        break;
    case MidiMessage::Kind::Stop:
        emit stopped();
        break;
    default:
        break;
    }
}

double ClockBeat::bpm() const
{
    // Pulses read together (a burst a device kept back) carry one stamp: a beat that
    // short is no tempo, and none is taken from it.
    constexpr double kMostBpm = 999;
    const double ms = follower_.beatMs();
    return ms >= 60000.0 / kMostBpm ? 60000.0 / ms : 0;
}

}  // namespace tavrelia
