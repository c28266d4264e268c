#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include "midi/midi_parser.h"
#include "timecode/mtc_decoder.h"
#include "timecode/timecode_chaser.h"
#include "timecode/timecode_clock.h"
#include "timecode/timecode_list.h"
#include "timecode/timecode_settings.h"

namespace tavrelia {

class NamedControls;

// The desk's timecode: the time of the one source that runs (MIDI timecode or LTC,
// the connection of [Timecode] Source= hands it over), the show's timecode list
// loaded and written beside the show, chasing it, and recording the operator's
// scene changes into it at the time they are made.
//
// Thread: the user-interface thread; the LTC connection posts its frames here.
class Timecode : public QObject {
    Q_OBJECT
public:
    using Clock = TimecodeClock::Clock;
    static constexpr int kTickMs = 5;   // the time run on between what the source says

    explicit Timecode(QObject* parent = nullptr);

    // The controls the list's rows act on (made after this).
    void attach(NamedControls& named) { named_ = &named; }

    // The source that runs ("mtc", "ltc"), or none: what it says is taken from now.
    void setSource(const QString& name);
    const QString& source() const { return source_; }
    // A source starting with the settings it read: their jump and freewheel, its name.
    void follow(const QString& source, const TimecodeSettings& settings);

    // A MIDI timecode message as it arrives (taken while the source is mtc).
    void mtcMessage(const MidiMessage& message, Clock::time_point at);
    // A position from a source at `at` (LTC's frames).
    void heard(int64_t quarters, TimecodeRate rate, int direction, Clock::time_point at);

    void setChase(bool on);
    bool chase() const { return chase_; }
    void setRecord(bool on);
    bool record() const { return record_; }
    // An operator's scene change (a control and its value as a row writes it): a row
    // at the current time while recording and the time runs.
    void operated(const QString& control, const QString& value);

    // What the group and the remotes show.
    TimecodeClock::State state() const;
    static QString stateText(TimecodeClock::State state);
    // "HH:MM:SS:FF", or empty while no time has been heard.
    QString text() const;
    TimecodeRate rate() const { return clock_.rate(); }
    bool known() const { return clock_.known(); }
    const TimecodeClock& clock() const { return clock_; }
    int relocations() const { return chaser_.relocations(); }

    // The list: loaded with the show, written at every change.
    const TimecodeList& list() const { return list_; }
    void loadList(const QString& path);
    // The show was saved under another name: the list goes with it.
    void moveList(const QString& path);
    // Bad lines of the last load and the last write's error, one a line.
    const QStringList& listProblems() const { return problems_; }
    int addRow(const TimecodeList::Row& row);
    void removeRow(int index);
    int changeRow(int index, const TimecodeList::Row& row);
    // Moves a row by whole frames at the source's rate (25 while none was heard).
    int shiftRow(int index, int frames);
    bool undo();

    void setClock(std::function<Clock::time_point()> now) { now_ = std::move(now); }

signals:
    // The time, its rate or the state changed (the time: each new frame).
    void changed();
    void chaseChanged(bool on);
    void recordChanged(bool on);
    void listChanged();

private:
    void update();
    void listEdited();
    void apply(const QString& control, const QString& value);

    NamedControls* named_ = nullptr;
    QString source_;
    TimecodeClock clock_;
    MtcDecoder mtc_;
    TimecodeList list_;
    TimecodeChaser chaser_;
    QTimer timer_;
    bool chase_ = false;
    bool record_ = false;
    bool applying_ = false;
    TimecodeClock::State shownState_ = TimecodeClock::State::None;
    QString shownText_;
    QStringList problems_;
    std::function<Clock::time_point()> now_ = [] { return Clock::now(); };
};

}  // namespace tavrelia
