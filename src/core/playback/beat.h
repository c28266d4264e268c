#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <initializer_list>
#include <utility>

#include "playback/beat_source.h"

namespace tavrelia {

class Sequencer;

// The one beat the scenes follow, from the source chosen (taps, a MIDI clock, a Link
// session, the sound): with following on, the sequencer's own timer stands still and
// a scene changes every BeatsPerScene beats, on the beats whose count is a multiple of
// it; the scene period the fades use is that many beats of the source's tempo. A
// source that knows its beats ahead has each one scheduled for its time on a precise
// timer. A source gone silent leaves the sequencer running at the last tempo.
//
// Thread: the user-interface thread.
class Beat : public QObject {
    Q_OBJECT
public:
    using Clock = BeatSource::Clock;
    using Now = std::function<Clock::time_point()>;

    // The sources under their names; the first is the one chosen until another is.
    using Named = std::pair<QString, BeatSource*>;
    Beat(Sequencer& sequencer, std::initializer_list<Named> sources, QObject* parent = nullptr);

    // One more source under its name.
    void addSource(const QString& name, BeatSource& source);
    bool hasSource(const QString& name) const { return sources_.contains(name); }
    // False for a name without a source: the choice stays as it was.
    bool setSource(const QString& name);
    QString source() const { return name_; }
    BeatSource& current() const { return *current_; }

    void setFollow(bool on);
    bool follow() const { return follow_; }
    bool setBeatsPerScene(int beats);   // 1, 2, 4 or 8; false for any other
    int beatsPerScene() const { return perScene_; }
    double bpm() const { return current_->bpm(); }
    // Beats taken since start, wrapping at 1000: a lamp flashes on each change.
    int beats() const { return beats_; }

    // A tempo set on the desk, proposed to the source: a scene period in ms, or the
    // interval of tapped beats.
    void proposeScenePeriod(int periodMs);
    void proposeBeatMs(double beatMs);

    // Where silence is judged (tests move a clock of their own).
    void setClock(Now now) { now_ = std::move(now); }

signals:
    void followChanged(bool on);
    void beatsPerSceneChanged(int beats);
    void sourceChanged(const QString& name);
    void tempoChanged(double bpm);
    // A beat was taken (after its scene change, if it had one).
    void beat();

private:
    void schedule();
    void scheduled();
    void arrived(BeatSource& source, int64_t count);
    void take(int64_t count);
    void takeTempo();
    void watch();
    void started(BeatSource& source, bool fromTop);
    void stopped(BeatSource& source);
    bool followed(const BeatSource& source) const { return follow_ && &source == current_; }

    Sequencer& sequencer_;
    QHash<QString, BeatSource*> sources_;
    BeatSource* current_ = nullptr;
    QString name_;
    bool follow_ = false;
    int perScene_ = 1;
    int beats_ = 0;
    bool fromTop_ = false;      // the next scene's beat plays the first scene
    Clock::time_point lastAt_{};   // when the last beat was (its own time)
    BeatSource::Beat pending_{};
    int takenPeriod_ = 0;
    int shownTempo_ = -1;       // tenths of a beat a minute, last announced
    QTimer timer_;              // the next scheduled beat
    QTimer watch_;              // silence, and a grid that moved unannounced
    Now now_ = [] { return Clock::now(); };
};

}  // namespace tavrelia
