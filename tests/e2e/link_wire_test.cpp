// The player following an Ableton Link session: a second peer lives in this test, and
// both run in a network namespace of the test's own with only the loopback up (Link
// discovers its peers by multicast on every interface). The scenes are read on the
// wire against the peer's own beat grid.

#include <ableton/Link.hpp>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include <cmath>
#include <optional>
#include <vector>

#include "osc_peer.h"
#include "own_network.h"
#include "program_run.h"

using namespace tavrelia;
using namespace std::chrono_literals;
using wire::OscPeer;
using wire::Packet;
using wire::ProgramRun;

namespace {

// Why the test cannot run here, when it cannot.
std::string skipReason;

constexpr int kScenes = 8;   // slot 1 of scene k (from 1) is 10 k

QString writeShow(ProgramRun& run)
{
    ShowImage image;
    image.resetToNewShow();
    image.copyIdentHeader();
    for (int scene = 0; scene < kScenes; ++scene)
        image.DataWrite(static_cast<uint8_t>(scene), 1, static_cast<uint8_t>(10 * (scene + 1)));
    image[ShowImage::kLastScene] = kScenes - 1;
    const QString path = run.dir("home") + "/shows/link.tvl";
    ProgramRun::writeFile(path, ProgramRun::bytesOf(image));
    return path;
}

// The other member of the session, on the same headers as the desk.
class Peer {
public:
    Peer()
    {
        link_.enableStartStopSync(true);
        link_.enable(true);
    }
    double tempo() const { return link_.captureAppSessionState().tempo(); }
    void setTempo(double bpm)
    {
        auto state = link_.captureAppSessionState();
        state.setTempo(bpm, link_.clock().micros());
        link_.commitAppSessionState(state);
    }
    void play(bool on, int quantum)
    {
        auto state = link_.captureAppSessionState();
        state.setIsPlayingAndRequestBeatAtTime(on, link_.clock().micros(), 0, quantum);
        link_.commitAppSessionState(state);
    }
    // The peer's beat at a moment the wire's reader stamped on steady_clock.
    double beatAt(wire::Clock::time_point at, int quantum) const
    {
        const auto before = wire::Clock::now();
        const std::chrono::microseconds now = link_.clock().micros();
        const auto mid = before + (wire::Clock::now() - before) / 2;
        const auto t = now + std::chrono::duration_cast<std::chrono::microseconds>(at - mid);
        return link_.captureAppSessionState().beatAtTime(t, quantum);
    }

private:
    ableton::Link link_{120.0};
};

// Packets where slot 1 changed: when each scene first reached the wire.
std::vector<Packet> sceneChanges(const std::vector<Packet>& packets, size_t from)
{
    std::vector<Packet> changes;
    for (size_t i = std::max<size_t>(from, 1); i < packets.size(); ++i) {
        if (packets[i].frame.at(1) != packets[i - 1].frame.at(1))
            changes.push_back(packets[i]);
    }
    return changes;
}

bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds wait = 10s)
{
    const auto until = wire::Clock::now() + wait;
    while (!done() && wire::Clock::now() < until)
        QThread::msleep(20);
    return done();
}

class LinkWire : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!skipReason.empty())
            GTEST_SKIP() << skipReason;
        run.writeConf("[Interface]\nBackend=serial\nSerialDevice=" +
                      QByteArray::fromStdString(run.device.path().string()) + "\n[OSC]\nPort=" +
                      QByteArray::number(oscPort) + "\nAddress=127.0.0.1\n[Remote]\nPin=4711\n");
        peer.emplace();
        run.start({"--play", writeShow(run), "--osc", "--mode", "vykl", "--beat", "link"});
        ASSERT_TRUE(waitFor([&] { return said("Link: 1 peer\n"); })) << run.output();
        tablet.send(oscPort, {"/tavrelia/pin", {"4711"}});
    }

    bool said(const std::string& line) const { return run.standardOutput().find(line) != std::string::npos; }
    // The second line printed after the first.
    bool saidAfter(const std::string& first, const std::string& then) const
    {
        const std::string out = run.standardOutput();
        const size_t at = out.find(first);
        return at != std::string::npos && out.find(then, at) != std::string::npos;
    }

    // The scene changes of the next `wait`: each on a multiple of the quantum of the
    // peer's grid, late by at most `late` of a beat, one scene after the other.
    void expectScenesOnTheGrid(int quantum, std::chrono::milliseconds wait, size_t atLeast)
    {
        const size_t from = run.reader->packets().size();
        QThread::msleep(static_cast<unsigned long>(wait.count()));
        const std::vector<Packet> changes = sceneChanges(run.reader->packets(), from);
        EXPECT_GE(changes.size(), atLeast);
        const double beatMs = 60000.0 / peer->tempo();
        for (const Packet& change : changes) {
            const double phase = std::fmod(peer->beatAt(change.at, quantum) + quantum, quantum);
            // The tick puts a scene out within 50 ms; the pseudo-terminal adds little.
            const double lateMs = (phase > quantum / 2.0 ? phase - quantum : phase) * beatMs;
            EXPECT_GT(lateMs, -2.0) << "level " << int(change.frame.at(1));
            EXPECT_LT(lateMs, 70.0) << "level " << int(change.frame.at(1));
        }
        for (size_t i = 1; i < changes.size(); ++i)
            EXPECT_EQ(changes[i].frame.at(1), changes[i - 1].frame.at(1) % (10 * kScenes) + 10);
    }

    ProgramRun run;
    OscPeer tablet;
    uint16_t oscPort = OscPeer::freePort();
    std::optional<Peer> peer;
};

// Tempo agreed both ways, scenes on the peer's grid with two beats a scene, the
// session's start playing from the first scene, and a peer that leaves.
TEST_F(LinkWire, TheDeskChangesScenesOnTheSessionsBeat)
{
    peer->setTempo(126);
    EXPECT_TRUE(waitFor([&] { return said("beat tempo 126\n"); })) << run.output();
    tablet.send(oscPort, {"/tavrelia/beat/per-scene", {"2"}});
    QThread::msleep(600);   // a scene a beat until it has arrived
    expectScenesOnTheGrid(2, 4s, 3);

    // The tempo bar's 30 is 900 ms a scene: two beats of 450 ms, 133.3 BPM.
    tablet.send(oscPort, {"/tavrelia/tempo", {30}});
    EXPECT_TRUE(waitFor([&] { return std::abs(peer->tempo() - 60000.0 / 450) < 0.05; })) << peer->tempo();
    EXPECT_TRUE(waitFor([&] { return said("beat tempo 133\n"); })) << run.output();
    expectScenesOnTheGrid(2, 3s, 2);

    // The session started, stopped, started again: from the first scene on its next bar.
    peer->play(true, 2);
    QThread::msleep(1500);
    peer->play(false, 2);
    QThread::msleep(500);
    const size_t stoppedAt = run.reader->packets().size();
    QThread::msleep(1000);
    EXPECT_TRUE(sceneChanges(run.reader->packets(), stoppedAt).empty());
    if (run.reader->packets().back().frame.at(1) == 10)
        tablet.send(oscPort, {"/tavrelia/next", {}});   // away from the first, to see it come
    QThread::msleep(200);
    const size_t startedAt = run.reader->packets().size();
    peer->play(true, 2);
    ASSERT_TRUE(waitFor([&] { return !sceneChanges(run.reader->packets(), startedAt).empty(); }, 3s));
    EXPECT_EQ(sceneChanges(run.reader->packets(), startedAt).front().frame.at(1), 10);

    // Alone again, the desk keeps the session's tempo and grid.
    peer.reset();
    EXPECT_TRUE(waitFor([&] { return saidAfter("Link: 1 peer\n", "Link: 0 peers\n"); })) << run.output();
    const size_t alone = run.reader->packets().size();
    QThread::msleep(2000);
    EXPECT_GE(sceneChanges(run.reader->packets(), alone).size(), 2u);
}

}  // namespace

int main(int argc, char** argv)
{
    // Listing the tests needs no namespace.
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        listing = listing || std::string(argv[i]).starts_with("--gtest_list_tests");
    if (!listing)
        wire::enterOwnNetwork(argc, argv, &skipReason);
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
