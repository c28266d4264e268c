#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <memory>

#include "remote/flood_gate.h"

class QWebSocket;

namespace tavrelia {

class NamedControls;

// One page on the live channel: its messages go through its own flood gate to the
// controls, and it is sent what the server pushes. A client that floods, or that
// stops reading what it is sent, is closed; it can come back and start afresh.
class RemoteClient : public QObject {
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;
    // Sixty drags a second pass with room to spare.
    static constexpr int kBurst = 240;
    static constexpr int kRate = 120;
    // Refused within kFloodWindow before the client is closed: it goes on flooding
    // however the gate throttles it.
    static constexpr int kFloodLimit = 2000;
    static constexpr std::chrono::seconds kFloodWindow{10};
    // What may wait unsent for a client that does not read.
    static constexpr qint64 kBacklog = 1 << 20;
    // Longer messages end the connection; those over RemoteMessage::kLongest are answered.
    static constexpr quint64 kLongestFrame = 64 * 1024;

    RemoteClient(std::unique_ptr<QWebSocket> socket, NamedControls& named, QObject* parent = nullptr);
    ~RemoteClient() override;

    void send(const QString& text);
    // Ends the connection with a close frame of this code (a QWebSocketProtocol::CloseCode
    // or an application's 4000..4999), or at once if the page does not answer it.
    void refuse(int code, const QString& reason);
    // The same for a client that has only just connected: nothing it sends is taken,
    // and the close goes out once the handshake is through.
    void turnAway(int code, const QString& reason);
    QWebSocket& socket() const { return *socket_; }
    bool refused() const { return refused_; }

signals:
    // The connection is gone: the server lets go of this client.
    void gone(RemoteClient* client);

private:
    void received(const QString& text);
    void close(int code, const QString& reason);

    std::unique_ptr<QWebSocket> socket_;
    NamedControls& named_;
    FloodGate gate_;
    Clock::time_point lastWarning_{};
    Clock::time_point floodWindowStart_{};
    int refusedInWindow_ = 0;
    bool refused_ = false;
};

}  // namespace tavrelia
