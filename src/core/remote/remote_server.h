#pragma once

#include <QByteArray>
#include <QHttpServerResponder>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariant>

#include <memory>
#include <utility>

#include "control/pin_owner.h"
#include "remote/remote_settings.h"

class QHttpServer;
class QHttpServerRequest;
class QHttpServerResponse;
class QWebSocket;

namespace tavrelia {

class NamedControls;
class RemoteClient;

// The phone remote: one port that serves the page, its script and styles from the
// program's resources, takes the PIN, and carries the live channel (a WebSocket at
// /live) on which every state is pushed as it changes and every action arrives.
// Nothing is done for a client without the session cookie that the PIN gives.
//
// Thread: the user-interface thread. It only calls the named controls, which take
// the console lock for each change alone, so no client can hold up the output tick.
class RemoteServer : public QObject {
    Q_OBJECT
public:
    static constexpr int kMostClients = 64;
    static constexpr int kAliveMs = 2000;   // a page that hears nothing for longer knows it is cut off
    static constexpr qsizetype kLongestLogin = 1024;
    static const QByteArray kCookieName;
    // Where to listen: every interface, or the one address named.
    static QHostAddress listenAddress(const RemoteSettings& settings);
    // How the live channel is closed on a client, beside the standard codes (numbers
    // the protocol leaves to applications, so not values of Qt's enum).
    static constexpr int kSignIn = 4001;         // no session: the PIN first
    static constexpr int kForeignOrigin = 4003;  // another site's page
    static constexpr int kBusy = 4013;           // too many pages: later

    RemoteServer(NamedControls& named, PinOwner& pins, QObject* parent = nullptr);
    ~RemoteServer() override;

    // Listens as the settings say; false with the reason when there is no PIN or the
    // port cannot be had. A running server is stopped first.
    bool start(RemoteSettings settings, QString* error);
    // Every page is cut off and the port let go.
    void stop();
    bool running() const { return http_ != nullptr; }
    quint16 port() const { return port_; }
    // The addresses to type on a phone, this machine's network addresses first.
    QStringList pageUrls() const;
    // Pages signed in and connected.
    int clientCount() const;

signals:
    void clientCountChanged(int count);

private:
    // A new PIN: every page is signed out and asked for it again.
    void signOutAll();
    void addRoutes();
    QHttpServerResponse page(const QHttpServerRequest& request) const;
    QHttpServerResponse login(const QHttpServerRequest& request);
    QHttpServerResponse pinPage(const QString& message, QHttpServerResponder::StatusCode status) const;
    bool signedIn(const QByteArray& cookieHeader) const;
    void acceptSockets();
    void accept(std::unique_ptr<QWebSocket> socket);
    void dropClient(RemoteClient* client);
    void stateChanged(const QString& name, const QVariant& value);
    void sendChanges();
    void broadcast(const QByteArray& message);

    NamedControls& named_;
    RemoteSettings settings_;
    QByteArray token_;
    PinOwner& pins_;
    std::unique_ptr<QHttpServer> http_;
    quint16 port_ = 0;
    QList<RemoteClient*> clients_;
    QList<std::pair<QString, QVariant>> changes_;
    QHash<QString, qsizetype> changeIndex_;
    QTimer alive_;
};

}  // namespace tavrelia
