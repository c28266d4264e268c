#include "remote/remote_server.h"

#include <QFile>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QNetworkInterface>
#include <QUrlQuery>
#include <QWebSocket>

#include <algorithm>

#include "control/named_controls.h"
#include "remote/remote_client.h"
#include "remote/remote_message.h"

namespace tavrelia {

const QByteArray RemoteServer::kCookieName = QByteArrayLiteral("tavrelia_session");

namespace {
using Status = QHttpServerResponder::StatusCode;

// The page's files, as the program carries them.
QByteArray resource(const char* name)
{
    QFile file(QStringLiteral(":/remote/") + QString::fromLatin1(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QHttpServerResponse reply(const QByteArray& mime, const QByteArray& body, Status status = Status::Ok)
{
    QHttpServerResponse response(mime, body, status);
    // Nothing of the remote is kept by the browser or shown inside another page.
    response.setHeader("Cache-Control", "no-store");
    response.setHeader("X-Content-Type-Options", "nosniff");
    response.setHeader("X-Frame-Options", "DENY");
    response.setHeader("Content-Security-Policy",
                       "default-src 'self'; connect-src 'self'; frame-ancestors 'none'");
    return response;
}

QByteArray cookieValue(const QByteArray& header, const QByteArray& name)
{
    for (const QByteArray& part : header.split(';')) {
        const QByteArray pair = part.trimmed();
        if (pair.startsWith(name + '='))
            return pair.mid(name.size() + 1);
    }
    return {};
}

// A browser's page names where it came from; it must be this server's own page. A
// client that is not a browser sends no origin and signs in with the PIN like a page.
bool originAllowed(const QWebSocket& socket)
{
    const QString origin = socket.origin();
    if (origin.isEmpty())
        return true;
    const QByteArray host = socket.request().rawHeader("Host");
    return !host.isEmpty() && origin == QStringLiteral("http://") + QString::fromLatin1(host);
}

QString seconds(std::chrono::milliseconds wait)
{
    return QString::number((wait.count() + 999) / 1000);
}
}  // namespace

QHostAddress RemoteServer::listenAddress(const RemoteSettings& settings)
{
    const QString& address = settings.address;
    const QHostAddress named(address);
    // 0.0.0.0 and :: mean every interface of both families, as no address does.
    const bool any = address.isEmpty() || named == QHostAddress(QHostAddress::AnyIPv4) ||
                     named == QHostAddress(QHostAddress::AnyIPv6);
    return any ? QHostAddress(QHostAddress::Any) : named;
}

RemoteServer::RemoteServer(NamedControls& named, PinOwner& pins, QObject* parent)
    : QObject(parent), named_(named), pins_(pins)
{
    connect(&pins_, &PinOwner::changed, this, &RemoteServer::signOutAll);
    connect(&named_, &NamedControls::changed, this, &RemoteServer::stateChanged);
    alive_.setInterval(kAliveMs);
    connect(&alive_, &QTimer::timeout, this, [this] { broadcast(RemoteMessage::alive()); });
}

RemoteServer::~RemoteServer()
{
    stop();
}

bool RemoteServer::start(RemoteSettings settings, QString* error)
{
    stop();
    if (const std::optional<QString> problem = pins_.problem()) {
        *error = *problem;
        return false;
    }
    // Without a stored key the sessions last until the program ends.
    settings.makeSessionKey();
    settings_ = std::move(settings);
    token_ = settings_.sessionToken(pins_.pin());
    http_ = std::make_unique<QHttpServer>();
    addRoutes();
    port_ = http_->listen(listenAddress(settings_), settings_.port);
    if (port_ == 0) {
        *error = QStringLiteral("cannot listen on %1 port %2")
                     .arg(listenAddress(settings_).toString())
                     .arg(settings_.port);
        http_.reset();
        return false;
    }
    return true;
}

void RemoteServer::stop()
{
    const bool hadClients = !clients_.isEmpty();
    qDeleteAll(std::exchange(clients_, {}));
    alive_.stop();
    http_.reset();
    port_ = 0;
    if (hadClients)
        emit clientCountChanged(0);
}

void RemoteServer::signOutAll()
{
    token_ = settings_.sessionToken(pins_.pin());
    for (RemoteClient* client : std::as_const(clients_))
        client->refuse(kSignIn, QStringLiteral("PIN changed"));
    emit clientCountChanged(clientCount());
}

void RemoteServer::addRoutes()
{
    http_->route(QStringLiteral("/"), QHttpServerRequest::Method::Get,
                 [this](const QHttpServerRequest& request) { return page(request); });
    http_->route(QStringLiteral("/login"), QHttpServerRequest::Method::Post,
                 [this](const QHttpServerRequest& request) { return login(request); });
    for (const auto& [path, file, mime] :
         {std::tuple{"/remote.js", "remote.js", "text/javascript; charset=utf-8"},
          std::tuple{"/remote.css", "remote.css", "text/css; charset=utf-8"}}) {
        http_->route(QString::fromLatin1(path), QHttpServerRequest::Method::Get,
                     [body = resource(file), type = QByteArray(mime)] { return reply(type, body); });
    }
    // The upgrade to the live channel is taken over by the server once this route has
    // matched without answering; anything else asking for /live is refused.
    http_->route(QStringLiteral("/live"), [](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
        if (request.value("upgrade").compare("websocket", Qt::CaseInsensitive) != 0)
            responder.write(Status::BadRequest);
    });
    connect(http_.get(), &QHttpServer::newWebSocketConnection, this, &RemoteServer::acceptSockets);
}

QHttpServerResponse RemoteServer::page(const QHttpServerRequest& request) const
{
    if (!signedIn(request.value("cookie")))
        return pinPage({}, Status::Ok);
    static const QByteArray body = resource("index.html");
    return reply("text/html; charset=utf-8", body);
}

QHttpServerResponse RemoteServer::pinPage(const QString& message, Status status) const
{
    static const QByteArray body = resource("pin.html");
    QByteArray text = body;
    text.replace("<!--message-->", message.toHtmlEscaped().toUtf8());
    return reply("text/html; charset=utf-8", text, status);
}

QHttpServerResponse RemoteServer::login(const QHttpServerRequest& request)
{
    if (request.body().size() > kLongestLogin)
        return pinPage(QStringLiteral("Неверный запрос"), Status::PayloadTooLarge);
    const QString pin =
        QUrlQuery(QString::fromUtf8(request.body())).queryItemValue(QStringLiteral("pin")).trimmed();
    const PinGuard::Answer answer = pins_.check(request.remoteAddress().toString(), pin);
    switch (answer.verdict) {
    case PinGuard::Verdict::Accepted:
        break;
    case PinGuard::Verdict::Refused:
        return pinPage(QStringLiteral("Неверный PIN. Следующая попытка через %1 с").arg(seconds(answer.wait)),
                       Status::Forbidden);
    case PinGuard::Verdict::Waiting:
        return pinPage(QStringLiteral("Подождите %1 с").arg(seconds(answer.wait)),
                       Status::TooManyRequests);
    }
    QHttpServerResponse response = reply("text/html; charset=utf-8", {}, Status::SeeOther);
    response.setHeader("Location", "/");
    // For a year, or until the PIN changes and with it the value this server takes.
    response.setHeader("Set-Cookie",
                       kCookieName + '=' + token_ + "; Path=/; Max-Age=31536000; HttpOnly; SameSite=Strict");
    return response;
}

bool RemoteServer::signedIn(const QByteArray& cookieHeader) const
{
    return PinGuard::same(cookieValue(cookieHeader, kCookieName), token_);
}

void RemoteServer::acceptSockets()
{
    while (http_ && http_->hasPendingWebSocketConnections())
        accept(http_->nextPendingWebSocketConnection());
}

void RemoteServer::accept(std::unique_ptr<QWebSocket> socket)
{
    // Another path asking for an upgrade has had its page already: no channel there.
    if (socket->requestUrl().path() != QLatin1String("/live")) {
        QWebSocket* stray = socket.release();
        QMetaObject::invokeMethod(
            stray, [stray] { stray->abort(); stray->deleteLater(); }, Qt::QueuedConnection);
        return;
    }
    const bool allowed = originAllowed(*socket);
    const bool signedIn = this->signedIn(socket->request().rawHeader("Cookie"));
    const bool room = clientCount() < kMostClients;
    auto* client = new RemoteClient(std::move(socket), named_, this);
    connect(client, &RemoteClient::gone, this, &RemoteServer::dropClient);
    clients_.append(client);
    if (!allowed)
        return client->turnAway(kForeignOrigin, QStringLiteral("origin not allowed"));
    if (!signedIn)
        return client->turnAway(kSignIn, QStringLiteral("PIN needed"));
    if (!room)
        return client->turnAway(kBusy, QStringLiteral("too many pages"));
    client->send(QString::fromUtf8(RemoteMessage::states(named_.snapshot())));
    if (!alive_.isActive())
        alive_.start();
    emit clientCountChanged(clientCount());
}

int RemoteServer::clientCount() const
{
    return static_cast<int>(
        std::count_if(clients_.cbegin(), clients_.cend(), [](const RemoteClient* client) { return !client->refused(); }));
}

void RemoteServer::dropClient(RemoteClient* client)
{
    if (!clients_.removeOne(client))
        return;
    client->deleteLater();
    if (clients_.isEmpty())
        alive_.stop();
    emit clientCountChanged(clientCount());
}

void RemoteServer::stateChanged(const QString& name, const QVariant& value)
{
    if (clients_.isEmpty())
        return;
    // Everything that changed in one turn of the event loop goes out as one message.
    if (changes_.isEmpty())
        QTimer::singleShot(0, this, &RemoteServer::sendChanges);
    const auto known = changeIndex_.constFind(name);
    if (known != changeIndex_.cend()) {
        changes_[*known].second = value;
        return;
    }
    changeIndex_.insert(name, changes_.size());
    changes_.append({name, value});
}

void RemoteServer::sendChanges()
{
    changeIndex_.clear();
    if (!changes_.isEmpty())
        broadcast(RemoteMessage::states(std::exchange(changes_, {})));
}

void RemoteServer::broadcast(const QByteArray& message)
{
    const QString text = QString::fromUtf8(message);
    for (RemoteClient* client : std::as_const(clients_))
        client->send(text);
}

QStringList RemoteServer::pageUrls() const
{
    QList<QHostAddress> hosts;
    const QHostAddress listening = listenAddress(settings_);
    if (listening == QHostAddress(QHostAddress::Any)) {
        for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
            const auto flags = interface.flags();
            if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning) ||
                (flags & QNetworkInterface::IsLoopBack))
                continue;
            for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
                if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
                    hosts.append(entry.ip());
            }
        }
        hosts.append(QHostAddress(QHostAddress::LocalHost));
    } else {
        hosts.append(listening);
    }
    QStringList urls;
    for (const QHostAddress& host : std::as_const(hosts)) {
        const QString name = host.protocol() == QAbstractSocket::IPv6Protocol
                                 ? QLatin1Char('[') + host.toString() + QLatin1Char(']')
                                 : host.toString();
        urls.append(QStringLiteral("http://%1:%2/").arg(name).arg(port_));
    }
    return urls;
}

}  // namespace tavrelia
