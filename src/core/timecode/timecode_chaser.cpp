#include "timecode/timecode_chaser.h"

#include <QHash>

#include <algorithm>

namespace tavrelia {

namespace {

double quartersOf(const TimecodeList::Row& row, TimecodeRate rate)
{
    return double(row.time.frameCount(rate) * 4);
}

// What a relocation sets: each switch the list touches anywhere, as the rows before
// the time leave it (off when none has yet), and the last value of the others.
bool isSwitch(const QString& control)
{
    return control == u"blackout" || control.startsWith(u"picture/");
}

bool isKept(const QString& control)
{
    return control == u"tempo" || control == u"mode";
}

}  // namespace

void TimecodeChaser::setRows(const QList<TimecodeList::Row>& rows)
{
    rows_ = rows;
    rowsReplaced_ = true;
}

void TimecodeChaser::moveTo(double quarters, TimecodeRate rate)
{
    if (!done_ || quarters > *done_ + jump_ * 4) {
        relocate(quarters, rate);
        return;
    }
    if (quarters <= *done_ - 4) {
        // Back: the state before the rows crossed (played backwards, most frames cross none).
        const bool crossed = std::any_of(rows_.begin(), rows_.end(), [&](const TimecodeList::Row& row) {
            const double at = quartersOf(row, rate);
            return at > quarters && at <= *done_;
        });
        if (crossed || *done_ - quarters > jump_ * 4)
            relocate(quarters, rate);
        else
            done_ = quarters;
        return;
    }
    if (quarters <= *done_)
        return;   // back by less than a frame: the sender's jitter
    QList<TimecodeList::Row> due;
    for (const TimecodeList::Row& row : rows_) {
        const double at = quartersOf(row, rate);
        if (at > *done_ && at <= quarters)
            due.append(row);
    }
    done_ = quarters;
    run(due);
}

void TimecodeChaser::relocate(double quarters, TimecodeRate rate)
{
    ++relocations_;
    done_ = quarters;
    QList<TimecodeList::Row> state;
    QHash<QString, qsizetype> where;   // control: its row in state
    std::optional<TimecodeList::Row> go;
    for (const TimecodeList::Row& row : rows_) {
        const bool before = quartersOf(row, rate) <= quarters;
        if (row.control == u"go") {
            if (before)
                go = row;
            continue;
        }
        if (!isSwitch(row.control) && !isKept(row.control))
            continue;
        if (!before && !isSwitch(row.control))
            continue;
        TimecodeList::Row value = row;
        if (!before)
            value.value = QStringLiteral("0");   // switched later: off until then
        else if (value.value.isEmpty())
            value.value = QStringLiteral("1");   // a press holds it on
        const auto at = where.constFind(row.control);
        if (at == where.cend()) {
            where.insert(row.control, state.size());
            state.append(value);
        } else if (before) {
            state[*at] = value;
        }
    }
    if (go)
        state.append(*go);
    run(state);
}

void TimecodeChaser::run(const QList<TimecodeList::Row>& due)
{
    rowsReplaced_ = false;
    for (const TimecodeList::Row& row : due) {
        apply_(row.control, row.value);
        // A row that loaded another show (a conveyor button) brought its own list.
        if (rowsReplaced_)
            return;
    }
}

}  // namespace tavrelia
