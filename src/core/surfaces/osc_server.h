#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>

#include <sys/socket.h>

#include <chrono>
#include <optional>
#include <vector>

#include "control/pin_owner.h"
#include "surfaces/osc_clients.h"
#include "surfaces/osc_codec.h"
#include "surfaces/osc_settings.h"

class QSocketNotifier;
class QTimer;

namespace tavrelia {

class NamedControls;

// OSC over UDP: each message to /tavrelia/NAME is one call on the named controls,
// and every state change goes back out under the same address to each sender heard
// in the last ten minutes and to the fixed feedback target.
//
// Nothing is acted on, and nothing sent back, before the sender's machine has been
// let in by the PIN of the desk's remotes (/tavrelia/pin); it then stays let in, from
// any of its ports and across restarts, until the PIN changes (the PIN owner keeps
// it). Wrong PINs make the machine wait as the phone remote's do. A machine not let
// in is told why with /tavrelia/pin "needed" or "wrong", at most once a second and
// never in more bytes than it sent, so the desk cannot be made to flood a third
// party with answers to forged senders.
//
// Every state goes to the port that sent the right PIN, and to one that sends
// /tavrelia/sync; other ports of a machine let in get the changes only.
//
// Thread: the user-interface thread. The socket is read by the event loop, at most
// kDatagramsPerTurn datagrams a turn, so a flood waits in the socket's buffer (and is
// dropped there by the kernel) while everything else runs; the controls take the
// console lock for each change only, so the output tick never waits for the network.
class OscServer : public QObject {
    Q_OBJECT
public:
    static constexpr int kDatagramsPerTurn = 64;
    static constexpr size_t kMaxDatagram = 65536;

    struct Counts {
        quint64 received = 0;    // datagrams
        quint64 applied = 0;     // messages that changed or pressed a control
        quint64 malformed = 0;
        quint64 unknown = 0;
        quint64 refused = 0;     // out of range, read-only, wrong type
        quint64 sent = 0;        // feedback datagrams
        bool operator==(const Counts&) const = default;
    };

    // Machines answered within the last second, remembered at most; beyond them a
    // machine not let in gets no answer.
    static constexpr int kAnswered = 4096;
    static constexpr std::chrono::seconds kAnswerEvery{1};
    // Every state goes out this many datagrams per interval, read when sent: hundreds
    // at once would overrun the receiver's socket buffer and be lost there.
    static constexpr int kStatesPerTurn = 48;
    static constexpr std::chrono::milliseconds kStatesInterval{5};

    OscServer(NamedControls& named, PinOwner& pins, QObject* parent = nullptr);
    ~OscServer() override;
    OscServer(const OscServer&) = delete;
    OscServer& operator=(const OscServer&) = delete;

    // Listens as settings say (whether or not they are enabled) and sends every state
    // to the fixed feedback target; false, with the reason in error, when the socket
    // cannot be opened. A running server is stopped first.
    bool start(const OscSettings& settings, QString* error);
    void stop();
    bool running() const { return socket_ >= 0; }
    // Without the remotes' PIN every control message is refused.
    bool hasPin() const { return !pins_.pin().isEmpty(); }
    // The port listened on (the one chosen by the system when settings asked for 0).
    uint16_t port() const;

    const Counts& counts() const { return counts_; }
    // The last message dropped, and why.
    QString lastFault() const { return lastFault_; }
    size_t clientCount() const { return clients_.clients().size(); }

signals:
    // Counts or the client list changed (once per event-loop turn at most).
    void countsChanged();
    void pinChanged();

private:
    using Clock = OscClients::Clock;
    struct Sender {
        const sockaddr* address;
        socklen_t length;
        QString host;
        size_t sent;   // the datagram's bytes
    };
    // A new PIN closes the desk to every host.
    void closeToAll();
    void readDatagrams();
    void take(const char* data, size_t size, const sockaddr* from, socklen_t length);
    void drop(const OscCodec::Refusal& refusal);
    // The PIN from a sender; true when it lets the sender in.
    bool takePin(const QString& pin, const Sender& sender, Clock::time_point now);
    // Tells a machine not let in why nothing happens, when that may be sent to it now.
    void answer(const char* word, const Sender& sender, Clock::time_point now);
    // The operator's reason for a message that named control refused.
    static QString refusedText(const QString& name);
    void stateChanged(const QString& name, const QVariant& value);
    // Every state to one address, a few at a time (again from the first when it asks again).
    void sendAll(const sockaddr* to, socklen_t length, bool floats);
    void sendSomeStates();
    void send(const QByteArray& datagram, const sockaddr* to, socklen_t length);

    NamedControls& named_;
    int socket_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    std::vector<char> buffer_;
    OscClients clients_;
    std::optional<sockaddr_storage> target_;
    socklen_t targetLength_ = 0;
    PinOwner& pins_;
    QHash<QString, Clock::time_point> answered_;   // host: last answered
    struct StatesDue {
        sockaddr_storage address{};
        socklen_t length = 0;
        bool floats = false;
        qsizetype next = 0;   // in NamedControls::all()
    };
    std::vector<StatesDue> statesDue_;
    QTimer* statesTimer_ = nullptr;
    Counts counts_;
    QString lastFault_;
};

}  // namespace tavrelia
