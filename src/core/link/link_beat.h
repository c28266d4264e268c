#pragma once

#include "link/link_session.h"
#include "playback/beat_source.h"

namespace tavrelia {

// A Link session's beat: its tempo and grid while the desk is in the session; a
// tempo set on the desk is proposed to it; its start and stop, where the peers share
// them, play and stop the show.
class LinkBeat : public BeatSource {
    Q_OBJECT
public:
    explicit LinkBeat(LinkSession& session, QObject* parent = nullptr);

    double bpm() const override { return session_.tempo(); }
    std::optional<Beat> nextBeat(Clock::time_point after, int quantum) const override
    {
        return session_.nextBeat(after, quantum);
    }
    bool lost(Clock::time_point) const override { return !session_.on(); }
    void propose(double bpm) override { session_.propose(bpm); }

private:
    LinkSession& session_;
};

}  // namespace tavrelia
