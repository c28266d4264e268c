#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>

#include "playback/beat_source.h"

namespace ableton {
class Link;
}

namespace tavrelia {

// The desk in an Ableton Link session on the local network: joined while enabled
// ([Link] Enabled in Tavrelia.conf, or the window's box), with the number of peers,
// the session's tempo, beat grid and start/stop. Nothing of Link runs while it is
// off: its threads and sockets exist only between start and stop.
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

    // Joins the session when enabled is set (the settings' switch), leaves it when not.
    void start(bool enabled);
    void stop();
    State state() const { return state_; }
    bool on() const { return state_ == State::On; }
    QString reason() const { return reason_; }
    QString where() const;
    int peers() const { return peers_; }

    // The switch [Link] Enabled of Tavrelia.conf: false while missing; a bad value is
    // reported in error and read as false. Storing it keeps the rest of the file.
    static bool enabledSetting(QString* error);
    static bool storeEnabled(bool on);

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
