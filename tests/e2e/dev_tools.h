#pragma once

// Debian's chromium, headless, driven over its DevTools protocol with Qt's own
// WebSocket client: pages opened as a phone (touch, 360 x 640) or at any size,
// script evaluated in them, fingers put down and lifted, screenshots taken. The
// browser runs with a profile of its own and reaches no host but this machine.
// Calls wait on the caller's event loop, so a server in the same process goes on
// answering the browser meanwhile.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QWebSocket>

#include <sys/prctl.h>

#include <csignal>
#include <functional>

namespace tavrelia::test {

class DevTools {
public:
    static QString browser() { return QStandardPaths::findExecutable(QStringLiteral("chromium")); }

    ~DevTools()
    {
        socket_.abort();
        chrome_.kill();
        chrome_.waitForFinished(5000);
    }

    // Starts the browser and connects to it; false with the reason.
    bool start(QString* error)
    {
        if (browser().isEmpty()) {
            *error = QStringLiteral("chromium is not installed");
            return false;
        }
        chrome_.setProgram(browser());
        chrome_.setArguments({QStringLiteral("--headless=new"), QStringLiteral("--no-sandbox"),
                              QStringLiteral("--disable-gpu"), QStringLiteral("--remote-debugging-port=0"),
                              QStringLiteral("--user-data-dir=") + profile_.path(),
                              QStringLiteral("--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE localhost, EXCLUDE 127.0.0.1"),
                              QStringLiteral("--no-first-run"), QStringLiteral("--no-default-browser-check"),
                              QStringLiteral("--disable-background-networking"),
                              QStringLiteral("--disable-component-update"), QStringLiteral("--disable-sync"),
                              QStringLiteral("--disable-extensions"),
                              QStringLiteral("--disable-background-timer-throttling"),
                              QStringLiteral("--disable-renderer-backgrounding"),
                              QStringLiteral("--disable-backgrounding-occluded-windows"),
                              QStringLiteral("about:blank")});
        // What the browser says of its missing desktop services is kept out of the test's output.
        chrome_.setStandardOutputFile(QProcess::nullDevice());
        chrome_.setStandardErrorFile(profile_.filePath(QStringLiteral("chromium.log")));
        chrome_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        chrome_.start();
        QFile active(profile_.filePath(QStringLiteral("DevToolsActivePort")));
        if (!waitUntil([&] { return active.exists() && active.size() > 0; }, 30000)) {
            *error = QStringLiteral("chromium did not open its DevTools port");
            return false;
        }
        active.open(QIODevice::ReadOnly);
        const QList<QByteArray> lines = active.readAll().split('\n');
        QObject::connect(&socket_, &QWebSocket::textMessageReceived, [this](const QString& text) {
            const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
            if (message.contains(QStringLiteral("id")))
                replies_.insert(message.value(QStringLiteral("id")).toInt(), message);
        });
        socket_.open(QUrl(QStringLiteral("ws://127.0.0.1:%1%2")
                              .arg(QString::fromLatin1(lines.value(0).trimmed()),
                                   QString::fromLatin1(lines.value(1).trimmed()))));
        if (!waitUntil([&] { return socket_.state() == QAbstractSocket::ConnectedState; }, 10000)) {
            *error = QStringLiteral("no DevTools connection: ") + socket_.errorString();
            return false;
        }
        return true;
    }

    // One command; its result, or an object with "error" (also on time-out).
    QJsonObject call(const QString& method, const QJsonObject& params = {}, const QString& session = {},
                     int timeoutMs = 10000)
    {
        const int id = ++lastId_;
        QJsonObject command{{QStringLiteral("id"), id}, {QStringLiteral("method"), method},
                            {QStringLiteral("params"), params}};
        if (!session.isEmpty())
            command.insert(QStringLiteral("sessionId"), session);
        socket_.sendTextMessage(QString::fromUtf8(QJsonDocument(command).toJson(QJsonDocument::Compact)));
        if (!waitUntil([&] { return replies_.contains(id); }, timeoutMs))
            return {{QStringLiteral("error"), QStringLiteral("no answer to ") + method}};
        const QJsonObject reply = replies_.take(id);
        return reply.contains(QStringLiteral("error")) ? reply : reply.value(QStringLiteral("result")).toObject();
    }

    // A new window at url; its session. As a phone: 360 x 640, touch, twice the pixels.
    // Each page has a window of its own, so that every one is drawn and can be touched.
    QString openPage(const QString& url, int width = 360, int height = 640, bool phone = true)
    {
        const QString target = call(QStringLiteral("Target.createTarget"),
                                    {{QStringLiteral("url"), QStringLiteral("about:blank")},
                                     {QStringLiteral("newWindow"), true}})
                                   .value(QStringLiteral("targetId")).toString();
        const QString session = call(QStringLiteral("Target.attachToTarget"),
                                     {{QStringLiteral("targetId"), target}, {QStringLiteral("flatten"), true}})
                                    .value(QStringLiteral("sessionId")).toString();
        call(QStringLiteral("Emulation.setDeviceMetricsOverride"),
             {{QStringLiteral("width"), width}, {QStringLiteral("height"), height},
              {QStringLiteral("deviceScaleFactor"), phone ? 2 : 1}, {QStringLiteral("mobile"), phone}},
             session);
        call(QStringLiteral("Emulation.setTouchEmulationEnabled"),
             {{QStringLiteral("enabled"), phone}, {QStringLiteral("maxTouchPoints"), 5}}, session);
        call(QStringLiteral("Emulation.setFocusEmulationEnabled"), {{QStringLiteral("enabled"), true}}, session);
        navigate(session, url);
        return session;
    }

    void navigate(const QString& session, const QString& url)
    {
        call(QStringLiteral("Page.navigate"), {{QStringLiteral("url"), url}}, session);
        waitFor(session, QStringLiteral("document.readyState === 'complete'"));
    }

    // A script's value (returned by value; promises awaited).
    QJsonValue evaluate(const QString& session, const QString& expression)
    {
        const QJsonObject result = call(QStringLiteral("Runtime.evaluate"),
                                        {{QStringLiteral("expression"), expression},
                                         {QStringLiteral("returnByValue"), true},
                                         {QStringLiteral("awaitPromise"), true}},
                                        session);
        return result.value(QStringLiteral("result")).toObject().value(QStringLiteral("value"));
    }

    // Until the script's value is true; false on time-out.
    bool waitFor(const QString& session, const QString& expression, int timeoutMs = 5000)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            if (evaluate(session, expression).toBool())
                return true;
            spin(10);
        }
        return false;
    }

    // The centre of the element the selector finds, scrolled into view, in CSS pixels.
    QPointF centreOf(const QString& session, const QString& selector)
    {
        // Measured two frames after the scroll, once the page drawn is the page scrolled:
        // the browser finds what is under a finger in what it has drawn.
        const QJsonArray xy = evaluate(session, QStringLiteral("(async () => { const e = document.querySelector(%1);"
                                                               " e.scrollIntoView({block: 'center'});"
                                                               " for (let i = 0; i < 2; ++i) await new Promise(requestAnimationFrame);"
                                                               " const r = e.getBoundingClientRect();"
                                                               " return [r.x + r.width / 2, r.y + r.height / 2]; })()")
                                                    .arg(quoted(selector)))
                                  .toArray();
        return {xy.at(0).toDouble(), xy.at(1).toDouble()};
    }

    // A finger: put down, moved, lifted.
    void touch(const QString& session, const QString& type, QPointF at = {})
    {
        QJsonArray points;
        if (type != QLatin1String("touchEnd"))
            points.append(QJsonObject{{QStringLiteral("x"), at.x()}, {QStringLiteral("y"), at.y()}});
        call(QStringLiteral("Input.dispatchTouchEvent"),
             {{QStringLiteral("type"), type}, {QStringLiteral("touchPoints"), points}}, session);
    }
    void tap(const QString& session, const QString& selector)
    {
        const QPointF at = centreOf(session, selector);
        touch(session, QStringLiteral("touchStart"), at);
        touch(session, QStringLiteral("touchEnd"));
    }

    // What the page shows, or the whole page from top to bottom, as a PNG.
    bool screenshot(const QString& session, const QString& path, bool wholePage = false)
    {
        QJsonObject params{{QStringLiteral("format"), QStringLiteral("png")},
                           {QStringLiteral("captureBeyondViewport"), wholePage}};
        if (wholePage) {
            const QJsonObject size = call(QStringLiteral("Page.getLayoutMetrics"), {}, session)
                                         .value(QStringLiteral("cssContentSize")).toObject();
            params.insert(QStringLiteral("clip"), QJsonObject{{QStringLiteral("x"), 0}, {QStringLiteral("y"), 0},
                                                              {QStringLiteral("width"), size.value(QStringLiteral("width"))},
                                                              {QStringLiteral("height"), size.value(QStringLiteral("height"))},
                                                              {QStringLiteral("scale"), 1}});
        }
        const QJsonObject shot = call(QStringLiteral("Page.captureScreenshot"), params, session);
        QFile file(path);
        return file.open(QIODevice::WriteOnly) &&
               file.write(QByteArray::fromBase64(shot.value(QStringLiteral("data")).toString().toLatin1())) > 0;
    }

    static QString quoted(const QString& text)
    {
        return QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
    }

    // Runs the event loop for a while.
    static void spin(int ms)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, ms - static_cast<int>(clock.elapsed()));
    }

private:
    static bool waitUntil(const std::function<bool()>& done, int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            if (clock.elapsed() > timeoutMs)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QThread::msleep(1);
        }
        return true;
    }

    QTemporaryDir profile_;
    QProcess chrome_;
    QWebSocket socket_;
    QHash<int, QJsonObject> replies_;
    int lastId_ = 0;
};

}  // namespace tavrelia::test
