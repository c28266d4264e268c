// The headless player with --osc as a tablet drives it: real OSC datagrams on the
// loopback interface, the levels read on the pseudo-terminal wire, the state sent
// back to the tablet and to the fixed feedback target.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>

#include <algorithm>

#include "osc_peer.h"
#include "program_run.h"

using namespace tavrelia;
using namespace std::chrono_literals;
using wire::OscPeer;
using wire::Packet;
using wire::ProgramRun;
using Frame = std::vector<uint8_t>;

namespace {

// Three scenes at the slowest tempo; picture 5 puts 99 on channel 20.
QString writeShow(ProgramRun& run)
{
    return run.writeThreeScenes("tablet.tvl", 170, [](ShowImage& image) {
        image[ShowImage::pictureFlagAddress(4, 20)] = 1;
        image[ShowImage::pictureLevelAddress(4, 20)] = 99;
    });
}

// OSC as given, with the remotes' PIN 4711 unless told otherwise.
QByteArray conf(const ProgramRun& run, const QByteArray& osc, const QByteArray& remote = "Pin=4711\n")
{
    return "[Interface]\nBackend=serial\nSerialDevice=" + QByteArray::fromStdString(run.device.path().string()) +
           "\n[OSC]\n" + osc + "[Remote]\n" + remote;
}

QByteArray listening(uint16_t port)
{
    return "Port=" + QByteArray::number(port) + "\nAddress=127.0.0.1\n";
}

// Waits for a packet after the first `from` that satisfies wanted.
bool wire(ProgramRun& run, size_t from, const std::function<bool(const Frame&)>& wanted)
{
    return run.reader->waitFor(
        [&](const std::vector<Packet>& packets) {
            return std::any_of(packets.begin() + std::min(from, packets.size()), packets.end(),
                               [&](const Packet& p) { return wanted(p.frame); });
        },
        3s);
}

TEST(PlayerOsc, ATabletDrivesTheShowAndSeesItsState)
{
    ProgramRun run;
    OscPeer tablet;
    OscPeer target;
    const uint16_t port = OscPeer::freePort();
    run.writeConf(conf(run, listening(port) + "FeedbackHost=127.0.0.1\nFeedbackPort=" +
                                QByteArray::number(target.port()) + "\n"));
    run.start({"--play", writeShow(run), "--osc", "--mode", "vykl"});
    // The fixed target has every state without asking: the show plays from scene 1.
    const auto states = target.receive(4s);
    ASSERT_FALSE(run.packets(3).empty()) << run.output();
    EXPECT_GT(states.size(), 100u);
    EXPECT_TRUE(OscPeer::has(states, "/tavrelia/playing", 1));
    EXPECT_TRUE(OscPeer::has(states, "/tavrelia/scene", 1));

    struct Step {
        OscPeer::Message message;
        std::function<bool(const Frame&)> wanted;
    };
    const Step steps[] = {
        {{"/tavrelia/pin", {"4711"}}, {}},
        {{"/tavrelia/go", {3}}, [](const Frame& f) { return f.at(1) == 30; }},
        {{"/tavrelia/prev", {1.0f}}, [](const Frame& f) { return f.at(1) == 20; }},
        {{"/tavrelia/stop", {}}, {}},
        {{"/tavrelia/picture/5", {1.0f}}, [](const Frame& f) { return f.at(20) == 99; }},
        {{"/tavrelia/fader/7", {0.5f}}, [](const Frame& f) { return f.at(7) == 128; }},   // into the stopped scene
        {{"/tavrelia/blackout", {1.0f}}, [](const Frame& f) { return f.at(1) == 0 && f.at(20) == 0; }},
    };
    // What comes back is read as it comes: the first answer is every state.
    std::vector<OscPeer::Message> back;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.message.path);
        const size_t from = run.reader->packets().size();
        tablet.send(port, step.message);
        if (step.wanted) {
            EXPECT_TRUE(wire(run, from, step.wanted)) << run.output();
        }
        const auto answers = tablet.receive(500ms, 100ms);
        back.insert(back.end(), answers.begin(), answers.end());
    }
    EXPECT_GT(back.size(), 100u);
    EXPECT_TRUE(OscPeer::has(back, "/tavrelia/scene", 3));   // ints until it sends a float
    EXPECT_TRUE(OscPeer::has(back, "/tavrelia/blackout", 1.0f));   // it speaks floats: so do the answers
    EXPECT_TRUE(OscPeer::has(back, "/tavrelia/fader/7", 128.0f / 255.0f));
    const auto toTarget = target.receive(2s);
    EXPECT_TRUE(OscPeer::has(toTarget, "/tavrelia/blackout", 1));
    EXPECT_TRUE(OscPeer::has(toTarget, "/tavrelia/scene", 2));

    const std::string out = run.standardOutput();
    EXPECT_NE(out.find("OSC on 127.0.0.1 port " + std::to_string(port) + ", feedback to 127.0.0.1 port " +
                       std::to_string(target.port())),
              std::string::npos)
        << out;
}

// A tablet let in stays let in when the program starts again, until the PIN changes
// (here by hand in the file while the program is off).
TEST(PlayerOsc, ATabletLetInStaysInAcrossRestartsUntilThePinChanges)
{
    ProgramRun run;
    OscPeer tablet(INADDR_LOOPBACK + 2);
    const uint16_t port = OscPeer::freePort();
    const QString show = writeShow(run), confPath = run.dir("config") + "/Tavrelia/Tavrelia.conf";
    run.writeConf(conf(run, listening(port)));
    for (int restarts = 0; restarts < 3; ++restarts) {
        QFile file(confPath);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        ProgramRun::writeFile(confPath, file.readAll().replace("Pin=4711", restarts < 2 ? "Pin=4711" : "Pin=2468"));
        run.start({"--play", show, "--osc", "--mode", "vykl"});
        ASSERT_FALSE(run.packets(run.reader->packets().size() + 3).empty()) << run.output();
        if (restarts == 0) {
            tablet.send(port, {"/tavrelia/pin", {"4711"}});
            EXPECT_GT(tablet.receive(3s).size(), 100u);   // every state
        }
        const size_t from = run.reader->packets().size();
        tablet.send(port, {"/tavrelia/picture/5", {1.0f}});
        EXPECT_EQ(wire(run, from, [](const Frame& f) { return f.at(20) == 99; }), restarts < 2) << restarts;
        // The change alone, not every state again; or why nothing happened.
        const auto back = tablet.receive(1s);
        EXPECT_TRUE(back.size() < 10u && (restarts < 2 ? OscPeer::has(back, "/tavrelia/picture/5", 1.0f)
                                                       : OscPeer::has(back, "/tavrelia/pin", std::string("needed"))));
        run.process.terminate();
        ASSERT_TRUE(run.process.waitForFinished(10000));
    }
}

TEST(PlayerOsc, APortTakenOrBadSettingsRefuseTheRunBeforeAnythingIsSent)
{
    OscPeer holder;   // 127.0.0.1 and its port are taken
    const struct Case {
        const char* name;
        QByteArray osc;
        const char* message;
        QByteArray remote = "Pin=4711\n";
        int exitCode = 1;   // 2: a bad value in the settings
    } cases[] = {
        {"port taken", listening(holder.port()), "OSC: 127.0.0.1 port"},
        {"no PIN", listening(holder.port()), "OSC: no PIN set (Pin in [Remote]", ""},
        {"a PIN of letters", listening(holder.port()), "OSC: the PIN must be 4 to 8 digits", "Pin=abcd\n"},
        {"address by name", "Address=localhost\n", "[OSC] Address=localhost: not an IP address", "Pin=4711\n", 2},
        {"port out of range", "Port=65536\n", "[OSC] Port=65536: not a port", "Pin=4711\n", 2},
        {"feedback to another family", "Address=127.0.0.1\nFeedbackHost=::1\nFeedbackPort=9000\n",
         "cannot be reached"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramRun run;
        run.writeConf(conf(run, c.osc, c.remote));
        run.start({"--play", writeShow(run), "--osc"});
        ASSERT_TRUE(run.process.waitForFinished(10000));
        EXPECT_EQ(run.process.exitCode(), c.exitCode);
        EXPECT_NE(run.standardError().find(c.message), std::string::npos) << run.standardError();
        EXPECT_EQ(run.reader->byteCount(), 0u);
    }
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
