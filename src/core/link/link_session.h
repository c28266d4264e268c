#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

#include "playback/beat_source.h"

namespace ableton {
class Link;
}

namespace tavrelia {

// The desk in an Ableton Link session on the local network, with the number of
// peers, the session's tempo, beat grid and start/stop. Nothing of Link runs while it
// is off: its threads and sockets exist only between start and stop (LinkConnection
// starts it while [Link] Enabled is on).
//
// Link keeps time on CLOCK_MONOTONIC_RAW; the desk on steady_clock
// (CLOCK_MONOTONIC). The two drift apart while NTP slews the latter, so every
// conversion reads both clocks afresh.
//
// Thread: the user-interface thread. Link's own threads report here through the
// event loop.
class LinkSession : public QObject {
    Q_OBJECT
public:
    using Clock = BeatSource::Clock;
    enum class State { Off, Starting, On, Fault };

    explicit LinkSession(QObject* parent = nullptr);
    ~LinkSession() override;

    void start();
    void stop();
    State state() const { return state_; }
    bool on() const { return state_ == State::On; }
    QString reason() const { return reason_; }
    int peers() const { return peers_; }

    // The session's tempo (0 while off), its first beat after `after` on the grid of
    // bars `quantum` beats long, whether it plays.
    double tempo() const;
    std::optional<BeatSource::Beat> nextBeat(Clock::time_point after, int quantum) const;
    bool playing() const;
    void propose(double bpm);

    std::chrono::microseconds toLink(Clock::time_point at) const;
    Clock::time_point toSteady(std::chrono::microseconds at) const;

signals:
    // The state or the peers changed.
    void changed();
    void tempoChanged();
    void playingChanged(bool playing);

private:
    void setState(State state, const QString& reason = {});
    static std::chrono::nanoseconds linkAhead();

    std::unique_ptr<ableton::Link> link_;
    State state_ = State::Off;
    QString reason_;
    int peers_ = 0;
};

}  // namespace tavrelia
