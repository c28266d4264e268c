#include "link/link_beat.h"

namespace tavrelia {

LinkBeat::LinkBeat(LinkSession& session, QObject* parent) : BeatSource(parent), session_(session)
{
    // A peer that comes or goes may move the session's timeline.
    connect(&session_, &LinkSession::changed, this, &BeatSource::moved);
    connect(&session_, &LinkSession::tempoChanged, this, &BeatSource::moved);
    connect(&session_, &LinkSession::playingChanged, this, [this](bool playing) {
        if (playing)
            emit started(true);
        else
            emit stopped();
    });
}

}  // namespace tavrelia
