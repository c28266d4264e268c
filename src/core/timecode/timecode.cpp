#include "timecode/timecode.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "control/named_controls.h"

namespace tavrelia {

Timecode::Timecode(QObject* parent)
    : QObject(parent), chaser_([this](const QString& control, const QString& value) { apply(control, value); })
{
    timer_.setObjectName(QStringLiteral("TimerTimecode"));
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &Timecode::update);
}

void Timecode::follow(const QString& source, const TimecodeSettings& settings)
{
    chaser_.setJumpFrames(settings.jumpFrames);
    clock_.setFreewheelFrames(settings.freewheelFrames);
    setSource(source);
}

void Timecode::setSource(const QString& name)
{
    if (source_ == name)
        return;
    source_ = name;
    mtc_.reset();
    clock_.clear();
    chaser_.forget();
    update();
    emit changed();
}

void Timecode::mtcMessage(const MidiMessage& message, Clock::time_point at)
{
    if (source_ != u"mtc")
        return;
    if (const std::optional<MtcDecoder::Position> position = mtc_.feed(message))
        heard(position->quarters, position->rate, position->direction, at);
}

void Timecode::heard(int64_t quarters, TimecodeRate rate, int direction, Clock::time_point at)
{
    clock_.heard(quarters, rate, direction, at);
    if (direction != 0 && !timer_.isActive())
        timer_.start();
    update();
}

TimecodeClock::State Timecode::state() const
{
    return clock_.state(now_());
}

QString Timecode::stateText(TimecodeClock::State state)
{
    switch (state) {
    case TimecodeClock::State::None: return QStringLiteral("нет");
    case TimecodeClock::State::Running: return QStringLiteral("идёт");
    case TimecodeClock::State::Freewheeling: return QStringLiteral("по инерции");
    case TimecodeClock::State::Stopped: return QStringLiteral("стоит");
    }
    return {};
}

QString Timecode::text() const
{
    if (!clock_.known())
        return {};
    const auto frames = int64_t(std::floor(clock_.quarters(now_()) / 4));
    return TimecodeTime::fromFrames(frames, clock_.rate()).text();
}

void Timecode::update()
{
    const Clock::time_point now = now_();
    const TimecodeClock::State state = clock_.state(now);
    if (state != TimecodeClock::State::Running && state != TimecodeClock::State::Freewheeling)
        timer_.stop();
    // Silent: the time is read afresh when the sender comes back.
    if (state != TimecodeClock::State::Running && shownState_ == TimecodeClock::State::Running && clock_.direction() != 0)
        mtc_.reset();
    if (chase_ && clock_.known())
        chaser_.moveTo(clock_.quarters(now), clock_.rate());
    const QString shown = text();
    if (std::exchange(shownState_, state) != state || std::exchange(shownText_, shown) != shown)
        emit changed();
}

void Timecode::apply(const QString& control, const QString& value)
{
    if (!named_)
        return;
    applying_ = true;
    named_->apply(control, NamedControls::valueOfText(control, value));
    applying_ = false;
}

void Timecode::setChase(bool on)
{
    if (std::exchange(chase_, on) == on)
        return;
    chaser_.forget();
    emit chaseChanged(on);
    update();
}

void Timecode::setRecord(bool on)
{
    if (std::exchange(record_, on) != on)
        emit recordChanged(on);
}

void Timecode::operated(const QString& control, const QString& value)
{
    const TimecodeClock::State now = state();
    if (!record_ || applying_ || (now != TimecodeClock::State::Running && now != TimecodeClock::State::Freewheeling))
        return;
    const auto frames = int64_t(std::floor(clock_.quarters(now_()) / 4));
    list_.add({TimecodeTime::fromFrames(frames, clock_.rate()), control, value});
    listEdited();
}

void Timecode::loadList(const QString& path)
{
    problems_.clear();
    const FileResult result = list_.load(path);
    if (!result.done() && !result.error.isEmpty())
        problems_.append(result.error);
    for (const TimecodeList::Fault& fault : list_.faults())
        problems_.append(QStringLiteral("%1: line %2: %3").arg(path).arg(fault.line).arg(fault.reason));
    chaser_.setRows(list_.rows());
    chaser_.forget();
    emit listChanged();
}

void Timecode::moveList(const QString& path)
{
    if (path == list_.path())
        return;
    list_.setPath(path);
    if (list_.size() > 0)
        listEdited();
}

void Timecode::listEdited()
{
    problems_.clear();
    const QString error = list_.save();
    if (!error.isEmpty())
        problems_.append(error);
    chaser_.setRows(list_.rows());
    // Chasing goes on from here without doing the rows up to now again.
    if (chase_ && clock_.known())
        chaser_.moveTo(clock_.quarters(now_()), clock_.rate());
    emit listChanged();
}

int Timecode::addRow(const TimecodeList::Row& row)
{
    const int index = list_.add(row);
    listEdited();
    return index;
}

void Timecode::removeRow(int index)
{
    list_.remove(index);
    listEdited();
}

int Timecode::changeRow(int index, const TimecodeList::Row& row)
{
    const int at = list_.change(index, row);
    listEdited();
    return at;
}

int Timecode::shiftRow(int index, int frames)
{
    if (index < 0 || index >= list_.size())
        return index;
    TimecodeList::Row row = list_.row(index);
    const TimecodeRate rate = clock_.known() ? clock_.rate() : TimecodeRate::Fps25;
    const int64_t moved = std::clamp<int64_t>(row.time.frameCount(rate) + frames, 0, TimecodeTime::framesPerDay(rate) - 1);
    row.time = TimecodeTime::fromFrames(moved, rate);
    return changeRow(index, row);
}

bool Timecode::undo()
{
    if (!list_.undo())
        return false;
    listEdited();
    return true;
}

}  // namespace tavrelia
