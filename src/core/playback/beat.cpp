#include "playback/beat.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "playback/sequencer.h"

namespace tavrelia {

namespace {
// Silence and the grid are looked at this often.
constexpr int kWatchMs = 250;
// A beat that a new grid puts just behind now (a tap a little late) is still taken.
constexpr auto kLate = std::chrono::milliseconds(20);

bool onQuantum(int64_t count, int quantum)
{
    return ((count % quantum) + quantum) % quantum == 0;
}
}  // namespace

Beat::Beat(Sequencer& sequencer, std::initializer_list<Named> sources, QObject* parent)
    : QObject(parent), sequencer_(sequencer)
{
    for (const auto& [name, source] : sources)
        addSource(name, *source);
    timer_.setObjectName(QStringLiteral("TimerBeat"));
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &Beat::scheduled);
    watch_.setObjectName(QStringLiteral("TimerBeatWatch"));
    watch_.setInterval(kWatchMs);
    connect(&watch_, &QTimer::timeout, this, &Beat::watch);
}

void Beat::addSource(const QString& name, BeatSource& source)
{
    sources_.insert(name, &source);
    if (!current_) {
        current_ = &source;
        name_ = name;
    }
    connect(&source, &BeatSource::arrived, this, [this, &source](int64_t count) { arrived(source, count); });
    connect(&source, &BeatSource::moved, this, [this, &source] {
        if (followed(source))
            schedule();
    });
    connect(&source, &BeatSource::started, this, [this, &source](bool fromTop) { started(source, fromTop); });
    connect(&source, &BeatSource::stopped, this, [this, &source] { stopped(source); });
}

bool Beat::setSource(const QString& name)
{
    BeatSource* source = sources_.value(name);
    if (!source)
        return false;
    if (source == current_)
        return true;
    if (follow_)
        current_->end();
    current_ = source;
    name_ = name;
    lastAt_ = {};
    if (follow_) {
        current_->begin();
        schedule();
    }
    emit sourceChanged(name);
    takeTempo();
    return true;
}

void Beat::setFollow(bool on)
{
    if (std::exchange(follow_, on) == on)
        return;
    lastAt_ = {};
    fromTop_ = false;
    if (on) {
        current_->begin();
        watch_.start();
        schedule();
    } else {
        current_->end();
        timer_.stop();
        watch_.stop();
        takenPeriod_ = 0;
        sequencer_.setDriven(false);
        sequencer_.releasePeriod();
    }
    emit followChanged(on);
}

bool Beat::setBeatsPerScene(int beats)
{
    if (beats != 1 && beats != 2 && beats != 4 && beats != 8)
        return false;
    if (std::exchange(perScene_, beats) != beats) {
        emit beatsPerSceneChanged(beats);
        if (follow_)
            schedule();   // the quantum is the grid's bar: its beats may count anew
    }
    return true;
}

void Beat::proposeScenePeriod(int periodMs)
{
    if (periodMs > 0)
        proposeBeatMs(double(periodMs) / perScene_);
}

void Beat::proposeBeatMs(double beatMs)
{
    if (follow_ && beatMs > 0)
        current_->propose(60000.0 / beatMs);
}

// The next beat the source knows ahead, for its time. A beat within half a beat of
// the last one taken is that one again, seen on a grid that moved.
void Beat::schedule()
{
    timer_.stop();
    if (!follow_)
        return;
    const Clock::time_point now = Clock::now();
    Clock::time_point after = now - kLate;
    if (bpm() > 0 && lastAt_ != Clock::time_point{}) {
        const auto half = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(30.0 / bpm()));
        after = std::max(after, lastAt_ + half);
    }
    const std::optional<BeatSource::Beat> next = current_->nextBeat(after, perScene_);
    if (!next)
        return;
    pending_ = *next;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next->at - now);
    timer_.start(static_cast<int>(std::max<int64_t>(wait.count(), 0)));
}

void Beat::scheduled()
{
    lastAt_ = pending_.at;
    take(pending_.count);
    schedule();
}

void Beat::arrived(BeatSource& source, int64_t count)
{
    if (!followed(source))
        return;
    lastAt_ = Clock::now();
    take(count);
}

// The scene changes first: the beat is now. The tempo follows.
void Beat::take(int64_t count)
{
    beats_ = (beats_ + 1) % 1000;
    sequencer_.setDriven(true);
    if (onQuantum(count, perScene_)) {
        if (std::exchange(fromTop_, false)) {
            sequencer_.ModePlay();
            sequencer_.goTo(0);
        } else {
            sequencer_.TimerSeqveserTimer();
        }
    }
    takeTempo();
    emit beat();
}

void Beat::takeTempo()
{
    const double now = bpm();
    const int tenths = static_cast<int>(std::lround(now * 10));
    if (std::exchange(shownTempo_, tenths) != tenths)
        emit tempoChanged(now);
    if (!follow_ || now <= 0)
        return;
    const int period = static_cast<int>(std::lround(60000.0 / now * perScene_));
    if (std::exchange(takenPeriod_, period) != period)
        sequencer_.takePeriod(period, false);
}

void Beat::watch()
{
    takeTempo();
    if (sequencer_.driven() && current_->lost(now_())) {
        sequencer_.setDriven(false);   // on at the last tempo
        return;
    }
    // A grid can move without a word (a peer joins and the session's timeline is
    // merged): the next beat is asked for again.
    schedule();
}

void Beat::started(BeatSource& source, bool fromTop)
{
    if (!followed(source))
        return;
    sequencer_.setDriven(true);
    if (fromTop)
        fromTop_ = true;
    else
        sequencer_.ModePlay();
}

void Beat::stopped(BeatSource& source)
{
    if (followed(source))
        sequencer_.ModeStop();
}

}  // namespace tavrelia
