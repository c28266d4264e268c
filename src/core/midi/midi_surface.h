#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <array>
#include <chrono>
#include <map>

#include "control/named_controls.h"
#include "midi/midi_map.h"
#include "midi/midi_parser.h"

namespace tavrelia {

class Controls;

// A MIDI surface on the desk: the bound notes and controllers act on the controls by
// name, the clock's real-time messages go to the beat, and every bound control's
// state goes back to the surface (note velocity for buttons, a controller for
// levels) at start, on every change and after the desk's page changed, so lamps and
// motor faders follow. In learn mode the next note or controller moved is bound to
// the control being learned.
//
// Thread: the user-interface thread.
class MidiSurface : public QObject {
    Q_OBJECT
public:
    MidiSurface(NamedControls& named, Controls& controls, QObject* parent = nullptr);

    // Why a control cannot be bound, or nothing: the map's check of its names.
    static std::optional<QString> refusal(const QString& name);

    void setMap(const MidiMap& map) { map_ = map; }
    const MidiMap& map() const { return map_; }

    // Bytes from one device (each keeps its own running status), read at `at`: a
    // clock's pulses are timed by it. Without a time, they were read now.
    void input(const QString& device, const QByteArray& bytes, std::chrono::steady_clock::time_point at);
    void input(const QString& device, const QByteArray& bytes);
    // Every bound state, as to a surface that has just come.
    void sendAll();

    // The next note or controller moved binds to this control; empty ends learning.
    void learn(const QString& name);
    QString learning() const { return learning_; }

signals:
    void output(const QByteArray& bytes);
    // A binding was learned; the controls in gone lost theirs to it.
    void learned(const QString& name, const tavrelia::MidiBinding& binding, const QStringList& gone);

private:
    void handle(const MidiMessage& message, std::chrono::steady_clock::time_point at);
    void learnFrom(const MidiMessage& message);
    void act(const QString& name, const MidiBinding& binding, const MidiMessage& message);
    void stateChanged(const QString& name, const QVariant& value);
    void send(const QString& name, const MidiBinding& binding);
    // The message's value as a fraction 0..1 of the binding's range.
    double fractionOf(const MidiBinding& binding, const MidiMessage& message);

    NamedControls& named_;
    Controls& controls_;
    MidiMap map_;
    std::map<QString, MidiParser> parsers_;
    std::array<uint8_t, 16 * 32> high_{};   // the high halves of 14-bit controllers
    QString learning_;
    std::optional<MidiBinding> learnt_;   // a controller 0..31 learnt, its low half may follow
};

}  // namespace tavrelia
