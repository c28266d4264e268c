#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

namespace tavrelia {

// A port of the system's MIDI sequencer, through which programs on this machine play
// the desk as a surface does. What it is made of (ALSA's sequencer and its library)
// lives in a module, loaded when MIDI is switched on.
//
// Thread: the user-interface thread.
class SequencerPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The ALSA sequencer's port from its module; where the module cannot be loaded, a
    // port that never opens and says why.
    static std::unique_ptr<SequencerPort> make();

    // Opens the port; false, and the reason in error(), when it cannot.
    virtual bool open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual QString error() const = 0;
    // What others connect to ("ALSA sequencer 128:0"); empty while closed.
    virtual QString address() const = 0;
    // MIDI bytes to every program subscribed; never waits.
    virtual void send(const QByteArray& bytes) = 0;

signals:
    // Bytes from one sending port ("seq 129:0").
    void received(const QString& source, const QByteArray& bytes);
    // A program subscribed to the port: it gets the state from now on.
    void subscribed();
};

}  // namespace tavrelia
