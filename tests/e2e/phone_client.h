#pragma once

// The phone remote's far end in tests: signs in with the PIN over HTTP, opens the
// live channel with the session's cookie, keeps every state pushed to it and sends
// controls as the page does.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpServer>
#include <QWebSocket>

#include <functional>
#include <memory>

namespace tavrelia::wire {

inline bool waitFor(const std::function<bool()>& done, int timeoutMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

inline quint16 freeTcpPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

class PhoneClient {
public:
    PhoneClient()
    {
        QObject::connect(&live, &QWebSocket::textMessageReceived, [this](const QString& text) {
            const QJsonObject pushed = QJsonDocument::fromJson(text.toUtf8()).object().value("states").toObject();
            for (auto it = pushed.begin(); it != pushed.end(); ++it)
                states.insert(it.key(), it.value());
        });
    }

    // The HTTP status of the sign-in (303 when let in); the live channel opened after it.
    int signIn(quint16 port, const QByteArray& pin)
    {
        QNetworkRequest login(QUrl(QStringLiteral("http://127.0.0.1:%1/login").arg(port)));
        login.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
        login.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        std::unique_ptr<QNetworkReply> reply(network.post(login, "pin=" + pin));
        if (!waitFor([&] { return reply->isFinished(); }))
            return 0;
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        QNetworkRequest channel(QUrl(QStringLiteral("ws://127.0.0.1:%1/live").arg(port)));
        channel.setRawHeader("Cookie", reply->rawHeader("Set-Cookie").split(';').value(0));
        live.open(channel);
        return status;
    }

    void send(const char* message) { live.sendTextMessage(QString::fromLatin1(message)); }

    QNetworkAccessManager network;
    QWebSocket live;
    QJsonObject states;
};

}  // namespace tavrelia::wire
