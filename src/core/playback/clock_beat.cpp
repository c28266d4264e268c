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
    const double ms = follower_.beatMs();
    return ms > 0 ? 60000.0 / ms : 0;
}

}  // namespace tavrelia
