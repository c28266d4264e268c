#pragma once

#include <QObject>

#include <chrono>
#include <cstdint>
#include <optional>

namespace tavrelia {

// Something the scenes can follow: a tempo and a grid of beats numbered from some
// beat 0, so that a scene every N beats falls on the multiples of N. A source that
// knows its beats ahead (a shared session, a tracker's prediction, taps) answers
// nextBeat and the beat is scheduled for its time; one that learns of a beat only
// as it comes (a clock's pulses) says arrived.
//
// Thread: the user-interface thread; a source with threads of its own posts its news
// here before it signals.
class BeatSource : public QObject {
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;
    struct Beat {
        Clock::time_point at;
        int64_t count;   // on the source's grid; may be negative
    };

    using QObject::QObject;

    // The scenes follow this source from now, or no longer.
    virtual void begin() {}
    virtual void end() {}
    // Beats a minute, 0 while unknown.
    virtual double bpm() const = 0;
    // The first beat after `after`, counted so that multiples of `quantum` are the
    // source's own bars of that length; nothing while it cannot be told ahead.
    virtual std::optional<Beat> nextBeat(Clock::time_point after, int quantum) const = 0;
    // Nothing heard for long enough: the sequencer goes on at the last tempo.
    virtual bool lost(Clock::time_point now) const = 0;
    // A tempo set on the desk; a source that shares its tempo passes it on.
    virtual void propose(double bpm) { Q_UNUSED(bpm); }

signals:
    // A beat is now (a source that cannot tell its beats ahead).
    void arrived(int64_t count);
    // The tempo or the grid moved: the next beat is to be asked for again.
    void moved();
    // The music started (from the top: the first scene on the next scene's beat) or stopped.
    void started(bool fromTop);
    void stopped();
};

}  // namespace tavrelia
