#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <optional>

#include "timecode/timecode_list.h"

namespace tavrelia {

// Does what a timecode list says as the time passes its rows. Moving on, each row
// passed is done once, in order. A move back across a row or by more than the jump's
// frames, forward by more than them, or the first time heard relocates instead: the desk is
// set to the state the rows up to that time leave (the tempo, the transition mode,
// the blackout and every picture the list switches, then the last scene gone to).
class TimecodeChaser {
public:
    using Apply = std::function<void(const QString& control, const QString& value)>;

    explicit TimecodeChaser(Apply apply) : apply_(std::move(apply)) {}

    void setJumpFrames(int frames) { jump_ = frames < 1 ? 1 : frames; }
    int jumpFrames() const { return jump_; }
    // The rows to chase from now (rows already passed are not done again).
    void setRows(const QList<TimecodeList::Row>& rows);
    // The next move relocates (chasing switched on, the source came back).
    void forget() { done_.reset(); }

    // The time is at `quarters` quarter frames since midnight at the rate.
    void moveTo(double quarters, TimecodeRate rate);
    // How many relocations so far (shown and counted by the source's connection).
    int relocations() const { return relocations_; }

private:
    void relocate(double quarters, TimecodeRate rate);
    void run(const QList<TimecodeList::Row>& due);

    Apply apply_;
    QList<TimecodeList::Row> rows_;
    std::optional<double> done_;   // rows up to here are done
    int jump_ = 10;
    int relocations_ = 0;
    bool rowsReplaced_ = false;
};

}  // namespace tavrelia
