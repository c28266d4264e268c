// The headless player with --remote, on the pseudo-terminal wire and with no display:
// a client signs in with the PIN of Tavrelia.conf and its actions reach the wire.

#include <gtest/gtest.h>

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

#include "program_run.h"

using namespace tavrelia;
using namespace std::chrono_literals;
using wire::ProgramRun;

namespace {

bool waitFor(const std::function<bool()>& done, int timeoutMs = 5000)
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

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// Three scenes, a scene every 225 ms.
QString writeShow(ProgramRun& run)
{
    return run.writeThreeScenes("window.tvl", 15);
}

class PlayerRemote : public ::testing::Test {
protected:
    void configure(const QByteArray& remote)
    {
        run.withoutDisplay = true;
        run.writeConf("[Interface]\nBackend=serial\nSerialDevice=" +
                      QByteArray::fromStdString(run.device.path().string()) + "\n[Remote]\n" + remote);
    }
    // Until the wire shows what is wanted, from now on.
    bool wire(const std::function<bool(const std::vector<uint8_t>&)>& wanted)
    {
        const size_t from = run.reader->packets().size();
        return waitFor([&] {
            const auto packets = run.reader->packets();
            for (size_t i = from; i < packets.size(); ++i) {
                if (wanted(packets[i].frame))
                    return true;
            }
            return false;
        });
    }
    void send(const char* message) { live.sendTextMessage(QString::fromLatin1(message)); }

    ProgramRun run;
    QNetworkAccessManager network;
    QWebSocket live;
};

}  // namespace

TEST_F(PlayerRemote, AClientWithThePinDrivesThePlayerOnTheWire)
{
    const quint16 port = freePort();
    configure("Port=" + QByteArray::number(port) + "\nAddress=127.0.0.1\nPin=5791\n");
    run.start({"--play", writeShow(run), "--remote"});
    const std::string announced = "remote on http://127.0.0.1:" + std::to_string(port) + "/";
    ASSERT_TRUE(waitFor([&] { return run.standardOutput().find(announced) != std::string::npos; })) << run.output();
    ASSERT_TRUE(wire([](const auto& f) { return f.at(1) == 20; }));

    QNetworkRequest login(QUrl(QStringLiteral("http://127.0.0.1:%1/login").arg(port)));
    login.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
    login.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    std::unique_ptr<QNetworkReply> reply(network.post(login, QByteArray("pin=5791")));
    ASSERT_TRUE(waitFor([&] { return reply->isFinished(); }));
    ASSERT_EQ(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 303);

    QJsonObject states;
    QObject::connect(&live, &QWebSocket::textMessageReceived, [&](const QString& text) {
        const QJsonObject pushed = QJsonDocument::fromJson(text.toUtf8()).object().value("states").toObject();
        for (auto it = pushed.begin(); it != pushed.end(); ++it)
            states.insert(it.key(), it.value());
    });
    QNetworkRequest channel(QUrl(QStringLiteral("ws://127.0.0.1:%1/live").arg(port)));
    channel.setRawHeader("Cookie", reply->rawHeader("Set-Cookie").split(';').value(0));
    live.open(channel);
    ASSERT_TRUE(waitFor([&] { return states.value("playing") == 1 && states.value("scenes") == 3; }));
    // The scene the player steps to is pushed as it goes.
    ASSERT_TRUE(waitFor([&] { return states.value("scene") == 3; }));

    send(R"({"control": "stop"})");
    ASSERT_TRUE(waitFor([&] { return states.value("playing") == 0; }));
    send(R"({"control": "fader/1", "value": 200})");
    EXPECT_TRUE(wire([](const auto& f) { return f.at(1) == 200; }));
    send(R"({"control": "blackout", "value": 1})");
    EXPECT_TRUE(wire([](const auto& f) { return f.at(1) == 0; }));
    send(R"({"control": "blackout", "value": 0})");
    // Playing again, the scene that took 200 comes round among the others.
    send(R"({"control": "play"})");
    EXPECT_TRUE(wire([](const auto& f) { return f.at(1) != 200 && f.at(1) != 0; }));
    EXPECT_TRUE(wire([](const auto& f) { return f.at(1) == 200; }));

    run.process.terminate();
    ASSERT_TRUE(run.process.waitForFinished(5000));
    EXPECT_EQ(run.process.exitCode(), 0) << run.output();
}

TEST(PlayerRemoteSettings, WithoutAPinThePlayerSaysSoAndSendsNothing)
{
    struct Case {
        QByteArray remote;
        const char* said;
    };
    const Case cases[] = {
        {"Port=8420\n", "tavrelia: Remote: no PIN set"},
        {"Pin=12\n", "tavrelia: Remote: the PIN must be 4 to 8 digits"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.said);
        ProgramRun fresh;
        fresh.withoutDisplay = true;
        fresh.writeConf("[Interface]\nBackend=serial\nSerialDevice=" +
                        QByteArray::fromStdString(fresh.device.path().string()) + "\n[Remote]\n" + c.remote);
        ShowImage image;
        image.resetToNewShow();
        image.copyIdentHeader();
        const QString show = fresh.dir("home") + "/window.tvl";
        ProgramRun::writeFile(show, ProgramRun::bytesOf(image));
        fresh.start({"--play", show, "--remote"});
        ASSERT_TRUE(fresh.process.waitForFinished(10000));
        EXPECT_EQ(fresh.process.exitCode(), 1);
        EXPECT_NE(fresh.standardError().find(c.said), std::string::npos) << fresh.output();
        EXPECT_EQ(fresh.reader->byteCount(), 0u);
    }
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
