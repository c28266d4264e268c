#include "midi/alsa_sequencer_port.h"

#include <QFileInfo>
#include <QSocketNotifier>

#include <alsa/asoundlib.h>
#include <poll.h>

#include <cerrno>
#include <cstdlib>

namespace tavrelia {

namespace {

// Room for any message the desk reads; a longer system exclusive is dropped whole.
constexpr size_t kDecodeRoom = 256;
// Feedback is notes and controllers only.
constexpr size_t kEncodeRoom = 16;

snd_midi_event_t* newCoder(size_t room)
{
    snd_midi_event_t* coder = nullptr;
    if (snd_midi_event_new(room, &coder) < 0)
        std::abort();   // out of memory
    snd_midi_event_no_status(coder, 1);
    return coder;
}

}  // namespace

AlsaSequencerPort::AlsaSequencerPort(const QString& device, QObject* parent)
    : SequencerPort(parent), device_(device), decoder_(newCoder(kDecodeRoom)), encoder_(newCoder(kEncodeRoom))
{
}

AlsaSequencerPort::~AlsaSequencerPort()
{
    close();
    snd_midi_event_free(decoder_);
    snd_midi_event_free(encoder_);
}

bool AlsaSequencerPort::open()
{
    if (seq_)
        return true;
    if (!QFileInfo::exists(device_)) {
        error_ = QStringLiteral("no ALSA sequencer on this machine: %1 does not exist").arg(device_);
        return false;
    }
    snd_seq_t* seq = nullptr;
    int result = snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK);
    if (result >= 0)
        result = snd_seq_set_client_name(seq, kName);
    if (result >= 0) {
        result = snd_seq_create_simple_port(
            seq, kName,
            SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE | SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
            SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    }
    if (result < 0) {
        error_ = QStringLiteral("the ALSA sequencer does not open: %1").arg(QString::fromLocal8Bit(snd_strerror(result)));
        if (seq)
            snd_seq_close(seq);
        return false;
    }
    seq_ = seq;
    port_ = result;
    client_ = snd_seq_client_id(seq);
    error_.clear();
    std::vector<pollfd> fds(static_cast<size_t>(snd_seq_poll_descriptors_count(seq, POLLIN)));
    const int count = snd_seq_poll_descriptors(seq, fds.data(), static_cast<unsigned>(fds.size()), POLLIN);
    for (int i = 0; i < count; ++i) {
        auto notifier = std::make_unique<QSocketNotifier>(fds[size_t(i)].fd, QSocketNotifier::Read);
        connect(notifier.get(), &QSocketNotifier::activated, this, &AlsaSequencerPort::read);
        notifiers_.push_back(std::move(notifier));
    }
    return true;
}

void AlsaSequencerPort::close()
{
    notifiers_.clear();
    if (seq_)
        snd_seq_close(seq_);
    seq_ = nullptr;
    client_ = -1;
    port_ = -1;
}

QString AlsaSequencerPort::address() const
{
    return seq_ ? QStringLiteral("ALSA sequencer %1:%2").arg(client_).arg(port_) : QString();
}

// Everything waiting is read: the library buffers several events per read of the
// descriptor, and the notifier would not fire again for those.
void AlsaSequencerPort::read()
{
    for (;;) {
        snd_seq_event_t* event = nullptr;
        const int result = snd_seq_event_input(seq_, &event);
        if (result == -ENOSPC)
            continue;   // the kernel's queue overran; what it lost is gone, the rest follows
        if (result < 0)
            return;     // -EAGAIN: nothing more now
        if (event->type == SND_SEQ_EVENT_PORT_SUBSCRIBED) {
            const snd_seq_addr_t& sender = event->data.connect.sender;
            if (sender.client == client_ && sender.port == port_)
                emit subscribed();
            continue;
        }
        const QByteArray bytes = bytesOf(*event);
        if (!bytes.isEmpty())
            emit received(QStringLiteral("seq %1:%2").arg(event->source.client).arg(event->source.port), bytes);
    }
}

void AlsaSequencerPort::send(const QByteArray& bytes)
{
    if (!seq_)
        return;
    for (snd_seq_event_t& event : eventsOf(bytes)) {
        snd_seq_ev_set_source(&event, port_);
        snd_seq_ev_set_subs(&event);
        snd_seq_ev_set_direct(&event);
        snd_seq_event_output_direct(seq_, &event);   // -EAGAIN when the pool is full: dropped
    }
}

QByteArray AlsaSequencerPort::bytesOf(const snd_seq_event& event) const
{
    unsigned char buffer[kDecodeRoom];
    const long length = snd_midi_event_decode(decoder_, buffer, sizeof buffer, &event);
    return length > 0 ? QByteArray(reinterpret_cast<const char*>(buffer), length) : QByteArray();
}

std::vector<snd_seq_event> AlsaSequencerPort::eventsOf(const QByteArray& bytes)
{
    std::vector<snd_seq_event> events;
    snd_midi_event_reset_encode(encoder_);
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.constData());
    long left = bytes.size();
    while (left > 0) {
        snd_seq_event_t event;
        snd_seq_ev_clear(&event);
        const long used = snd_midi_event_encode(encoder_, at, left, &event);
        if (used <= 0)
            break;
        at += used;
        left -= used;
        if (event.type != SND_SEQ_EVENT_NONE)
            events.push_back(event);
    }
    return events;
}

}  // namespace tavrelia
