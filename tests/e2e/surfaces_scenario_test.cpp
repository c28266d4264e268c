// One scenario for the window and for the headless player alike: the real program
// with the phone remote, OSC and a MIDI surface switched on in Tavrelia.conf, a fader
// moved from each, every level read on the DMX wire.

#include <gtest/gtest.h>

#include <unistd.h>

#include "osc_peer.h"
#include "phone_client.h"
#include "program_run.h"

using namespace tavrelia;
using namespace tavrelia::wire;
using namespace std::chrono_literals;

namespace {

using Frame = std::vector<uint8_t>;

enum class Desk { Window, Player };

class Surfaces : public ::testing::TestWithParam<Desk> {
protected:
    // Until a packet from now on satisfies wanted, the test's own client served meanwhile.
    bool wire(const std::function<bool(const Frame&)>& wanted)
    {
        const size_t from = run.reader->packets().size();
        return waitFor([&] {
            const auto packets = run.reader->packets();
            return std::any_of(packets.begin() + long(std::min(from, packets.size())), packets.end(),
                               [&](const Packet& p) { return wanted(p.frame); });
        });
    }

    ProgramRun run;
    Pty midi;
    PhoneClient phone;
    OscPeer tablet;
};

TEST_P(Surfaces, AFaderFromThePhoneOscAndMidiReachesTheWire)
{
    const quint16 phonePort = freeTcpPort();
    const uint16_t oscPort = OscPeer::freePort();
    run.prepareShow({{1, 10}, {2, 10}, {3, 10}});
    run.writeConf("[Interface]\nBackend=serial\nSerialDevice=" + QByteArray::fromStdString(run.device.path().string()) +
                  "\n[Remote]\nEnabled=true\nAddress=127.0.0.1\nPin=4711\nPort=" + QByteArray::number(phonePort) +
                  "\n[OSC]\nEnabled=true\nAddress=127.0.0.1\nPort=" + QByteArray::number(oscPort) +
                  "\n[MIDI]\nEnabled=true\nDevice=" + QByteArray::fromStdString(midi.slavePath()) +
                  "\n[MIDI map]\nfader/3=cc 1 7\n");
    if (GetParam() == Desk::Window) {
        run.start();
    } else {
        run.withoutDisplay = true;
        run.start({"--play", run.dir("data") + "/Tavrelia/light.tvl", "--remote", "--osc", "--midi", "--mode", "vykl"});
    }
    ASSERT_TRUE(wire([](const Frame& f) { return f.at(1) == 10 && f.at(3) == 10; })) << run.output();

    // The remotes may take a moment longer than the wire to come up.
    ASSERT_TRUE(waitFor([&] { return phone.signIn(phonePort, "4711") == 303; }, 10000)) << run.output();
    ASSERT_TRUE(waitFor([&] { return phone.live.state() == QAbstractSocket::ConnectedState; }));
    phone.send(R"({"control": "stop"})");
    phone.send(R"({"control": "fader/1", "value": 101})");
    EXPECT_TRUE(wire([](const Frame& f) { return f.at(1) == 101; })) << run.output();

    tablet.send(oscPort, {"/tavrelia/pin", {"4711"}});
    tablet.send(oscPort, {"/tavrelia/fader/2", {102}});
    EXPECT_TRUE(wire([](const Frame& f) { return f.at(2) == 102; })) << run.output();

    const uint8_t controller[] = {0xB0, 7, 127};
    ASSERT_EQ(::write(midi.master(), controller, sizeof controller), ssize_t(sizeof controller));
    EXPECT_TRUE(wire([](const Frame& f) { return f.at(3) == 255 && f.at(1) == 101 && f.at(2) == 102; }))
        << run.output();
}

INSTANTIATE_TEST_SUITE_P(WindowAndPlayer, Surfaces, ::testing::Values(Desk::Window, Desk::Player),
                         [](const auto& info) { return info.param == Desk::Window ? "Window" : "Player"; });

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
