#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include "midi/sequencer_port.h"

#include <memory>
#include <vector>

class QSocketNotifier;
struct _snd_seq;
struct snd_midi_event;
struct snd_seq_event;

namespace tavrelia {

// The ALSA sequencer's client "Tavrelia" with one port, so that programs on this
// machine can play the desk as a surface does: what they send to the port (notes,
// controllers, a clock) comes out as MIDI bytes, one source per sending port; what
// is sent out of it (the feedback) goes to every program subscribed to it. Events
// and bytes are converted by ALSA's own MIDI event coder.
//
// Without /dev/snd/seq (no sound support, a container) nothing is opened and
// error() says why. Events are read on the event loop as they come; a send never
// waits (what a full sequencer will not take is dropped: the next change sends the
// state again).
//
// Thread: the user-interface thread.
class AlsaSequencerPort : public SequencerPort {
    Q_OBJECT
public:
    static constexpr const char* kDevice = "/dev/snd/seq";
    static constexpr const char* kName = "Tavrelia";

    // device: the node whose presence says there is a sequencer to open.
    explicit AlsaSequencerPort(const QString& device = QString::fromLatin1(kDevice), QObject* parent = nullptr);
    ~AlsaSequencerPort() override;

    // Opens the client and its port; false, and the reason in error(), when it cannot.
    bool open() override;
    void close() override;
    bool isOpen() const override { return seq_ != nullptr; }
    QString error() const override { return error_; }
    // "ALSA sequencer 128:0": what others connect to; empty while closed.
    QString address() const override;
    int client() const { return client_; }
    int port() const { return port_; }

    void send(const QByteArray& bytes) override;

    // The MIDI bytes of one event (running status never used); empty for an event
    // that is no MIDI message (an announcement, a subscription).
    QByteArray bytesOf(const snd_seq_event& event) const;
    // The events of whole MIDI messages, ready to be addressed and sent.
    std::vector<snd_seq_event> eventsOf(const QByteArray& bytes);

private:
    void read();

    QString device_;
    QString error_;
    _snd_seq* seq_ = nullptr;
    int client_ = -1;
    int port_ = -1;
    snd_midi_event* decoder_ = nullptr;
    snd_midi_event* encoder_ = nullptr;
    std::vector<std::unique_ptr<QSocketNotifier>> notifiers_;
};

}  // namespace tavrelia
