#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>

#include <sys/socket.h>

#include <optional>
#include <vector>

#include "control/pin_owner.h"
#include "surfaces/osc_clients.h"
#include "surfaces/osc_codec.h"
#include "surfaces/osc_settings.h"

class QSocketNotifier;

namespace tavrelia {

class NamedControls;

// OSC over UDP: each message to /tavrelia/NAME is one call on the named controls,
// and every state change goes back out under the same address to each sender heard
// in the last ten minutes and to the fixed feedback target; a sender new to the list
// first gets every state.
//
// Nothing is acted on, and nothing sent back, before the sender's host has sent the
// PIN of the desk's remotes (/tavrelia/pin); it then stays open to that host while
// it keeps sending, until ten minutes of quiet or a new PIN. Wrong PINs make the host
// wait as the phone remote's do.
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

    // Hosts open at once at most; when full, the one quiet longest is closed.
    static constexpr int kOpenHosts = 64;

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
    // A new PIN closes the desk to every host.
    void closeToAll();
    void readDatagrams();
    void take(const char* data, size_t size, const sockaddr* from, socklen_t length);
    void drop(const OscCodec::Refusal& refusal);
    void takePin(const QString& pin, const QString& host, OscClients::Clock::time_point now);
    // Whether host sent the PIN and has not been quiet since for the clients' limit.
    bool open(const QString& host, OscClients::Clock::time_point now);
    void stateChanged(const QString& name, const QVariant& value);
    void sendAll(const sockaddr* to, socklen_t length, bool floats);
    void send(const QByteArray& datagram, const sockaddr* to, socklen_t length);

    NamedControls& named_;
    int socket_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    std::vector<char> buffer_;
    OscClients clients_;
    std::optional<sockaddr_storage> target_;
    socklen_t targetLength_ = 0;
    PinOwner& pins_;
    QHash<QString, OscClients::Clock::time_point> openHosts_;   // host: last heard
    Counts counts_;
    QString lastFault_;
};

}  // namespace tavrelia
