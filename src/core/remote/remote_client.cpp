#include "remote/remote_client.h"

#include <QTimer>
#include <QWebSocket>

#include "remote/remote_message.h"

namespace tavrelia {

namespace {
// A page that does not answer a close frame within this is cut off.
constexpr int kCloseGraceMs = 2000;
}  // namespace

RemoteClient::RemoteClient(std::unique_ptr<QWebSocket> socket, NamedControls& named, QObject* parent)
    : QObject(parent), socket_(std::move(socket)), named_(named), gate_(kBurst, kRate, Clock::now())
{
    socket_->setMaxAllowedIncomingFrameSize(kLongestFrame);
    socket_->setMaxAllowedIncomingMessageSize(kLongestFrame);
    connect(socket_.get(), &QWebSocket::textMessageReceived, this, &RemoteClient::received);
    // Through the same gate: a binary frame is read as text, and refused unless it is a message.
    connect(socket_.get(), &QWebSocket::binaryMessageReceived, this,
            [this](const QByteArray& bytes) { received(QString::fromUtf8(bytes)); });
    connect(socket_.get(), &QWebSocket::disconnected, this, [this] { emit gone(this); });
}

RemoteClient::~RemoteClient()
{
    // Gone without a word when the server stops: a page reconnects by itself.
    socket_->disconnect(this);
    socket_->abort();
}

void RemoteClient::send(const QString& text)
{
    if (refused_)
        return;
    if (socket_->bytesToWrite() > kBacklog) {
        refuse(QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("not reading"));
        return;
    }
    socket_->sendTextMessage(text);
}

void RemoteClient::refuse(int code, const QString& reason)
{
    if (!std::exchange(refused_, true))
        close(code, reason);
}

void RemoteClient::turnAway(int code, const QString& reason)
{
    if (std::exchange(refused_, true))
        return;
    // Not within the handshake's own handling, which would go on reading a closed socket.
    QMetaObject::invokeMethod(
        this, [this, code, reason] { close(code, reason); }, Qt::QueuedConnection);
}

void RemoteClient::close(int code, const QString& reason)
{
    socket_->close(static_cast<QWebSocketProtocol::CloseCode>(code), reason);
    QTimer::singleShot(kCloseGraceMs, socket_.get(), &QWebSocket::abort);
}

void RemoteClient::received(const QString& text)
{
    if (refused_)
        return;
    const Clock::time_point now = Clock::now();
    if (!gate_.admit(now)) {
        if (now - floodWindowStart_ > kFloodWindow) {
            floodWindowStart_ = now;
            refusedInWindow_ = 0;
        }
        if (++refusedInWindow_ >= kFloodLimit) {
            refuse(QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("too many messages"));
        } else if (now - lastWarning_ >= std::chrono::seconds(1)) {
            lastWarning_ = now;
            send(QString::fromUtf8(RemoteMessage::error(QStringLiteral("too many messages: slow down"))));
        }
        return;
    }
    const QByteArray answer = RemoteMessage::answer(named_, text.toUtf8());
    if (!answer.isEmpty())
        send(QString::fromUtf8(answer));
}

}  // namespace tavrelia
