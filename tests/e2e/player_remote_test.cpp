// The headless player with --remote, on the pseudo-terminal wire and with no display:
// a client signs in with the PIN of Tavrelia.conf and its actions reach the wire.

#include <gtest/gtest.h>

#include <functional>

#include "phone_client.h"
#include "program_run.h"

using namespace tavrelia;
using namespace std::chrono_literals;
using wire::PhoneClient;
using wire::ProgramRun;
using wire::waitFor;

namespace {

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
    void send(const char* message) { phone.send(message); }

    ProgramRun run;
    PhoneClient phone;
};

}  // namespace

TEST_F(PlayerRemote, AClientWithThePinDrivesThePlayerOnTheWire)
{
    const quint16 port = wire::freeTcpPort();
    configure("Port=" + QByteArray::number(port) + "\nAddress=127.0.0.1\nPin=5791\n");
    run.start({"--play", writeShow(run), "--remote"});
    const std::string announced = "remote on http://127.0.0.1:" + std::to_string(port) + "/";
    ASSERT_TRUE(waitFor([&] { return run.standardOutput().find(announced) != std::string::npos; })) << run.output();
    ASSERT_TRUE(wire([](const auto& f) { return f.at(1) == 20; }));

    ASSERT_EQ(phone.signIn(port, "5791"), 303);
    const QJsonObject& states = phone.states;
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
