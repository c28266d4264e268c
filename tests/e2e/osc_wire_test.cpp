// OSC on the loopback interface into the core: real datagrams built with liblo go to
// the console's OSC server, and what each does is read on the wire (the real output
// thread, the serial backend on a pseudo-terminal) and in the feedback that comes
// back. No widget library.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <thread>

#include "console_on_the_wire.h"
#include "control/named_controls.h"
#include "osc_peer.h"
#include "control/pin_guard.h"
#include "surfaces/osc_server.h"
#include "surfaces/osc_settings.h"

using namespace std::chrono_literals;
using tavrelia::NamedControls;
using tavrelia::OscServer;
using tavrelia::OscSettings;
using tavrelia::ShowImage;
using tavrelia::wire::OscPeer;

namespace {

// "fader/12/manual" -> "fader/N/manual": one of a family stands for all of it.
QString family(const QString& name)
{
    return QString(name).replace(QRegularExpression(QStringLiteral("\\d+")), QStringLiteral("N"));
}

// Beside the common show: channel 30 is selected for the hand scan, automat 1 runs on
// channels 50..53, and conveyor button 3 holds a show with 222 on channel 1.
class OscOnTheWire : public tavrelia::wire::ConsoleOnTheWire {
protected:
    void SetUp() override
    {
        ConsoleOnTheWire::SetUp();
        {
            auto guard = console.lock();
            console.image[ShowImage::selectAddress(30)] = 1;
        }
        tavrelia::Automat& first = console.automats[1];
        first.setChannel(49);
        first.setBright(0);
        first.setDark(255);
        ShowImage other;
        other.resetToNewShow();
        other.DataWrite(0, 1, 222);
        const QString otherShow = folder.filePath(QStringLiteral("other.tvl"));
        QFile file(otherShow);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(other.data()), ShowImage::kImageSize);
        file.close();
        console.conveyor.bind(3, otherShow);
        console.pins.setPin(kPin);
        startServer({});
        // The peer's host is let in.
        peer.send(port, {"/tavrelia/pin", {kPin.toStdString()}});
        ASSERT_TRUE(received(1));
        ASSERT_EQ(osc.counts().applied, 1u) << osc.lastFault().toStdString();
    }

    void startServer(OscSettings settings)
    {
        settings.enabled = true;
        settings.port = 0;   // any free port
        settings.address = QStringLiteral("127.0.0.1");
        QString error;
        ASSERT_TRUE(osc.start(settings, &error)) << error.toStdString();
        port = osc.port();
    }

    // Runs the event loop until the server has read count datagrams in all.
    bool received(quint64 count)
    {
        const auto deadline = tavrelia::wire::Clock::now() + 2s;
        while (osc.counts().received < count && tavrelia::wire::Clock::now() < deadline) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            std::this_thread::sleep_for(1ms);
        }
        return osc.counts().received >= count;
    }
    std::vector<OscPeer::Message> feedback(OscPeer& peer)
    {
        return peer.receive(1500ms, 200ms, [] { QCoreApplication::processEvents(); });
    }
    // The addresses of the states that messages leave out.
    std::set<std::string> missingStates(const std::vector<OscPeer::Message>& messages) const
    {
        std::set<std::string> missing;
        for (const auto& [name, value] : console.named.snapshot())
            missing.insert("/tavrelia/" + name.toStdString());
        for (const OscPeer::Message& message : messages)
            missing.erase(message.path);
        return missing;
    }

    const QString kPin = QStringLiteral("4711");
    QTemporaryDir folder;
    tavrelia::OscServer osc{console.named, console.pins};
    OscPeer peer;
    uint16_t port = 0;
};

TEST_F(OscOnTheWire, EveryWritableControlReachesTheWire)
{
    struct Step {
        OscPeer::Message message;
        std::function<bool(const Frame&)> wanted;   // none: shows only with a later step
    };
    auto slot = [](int channel, int level) { return [=](const Frame& f) { return f.at(channel) == level; }; };
    std::set<int> seen;   // channel 1's levels while the show plays
    const Step steps[] = {
        {{"/tavrelia/go", {3}}, slot(1, 30)},
        {{"/tavrelia/next", {1}}, slot(1, 40)},
        {{"/tavrelia/prev", {}}, slot(1, 30)},   // a press without an argument
        {{"/tavrelia/stop", {1}}, {}},
        {{"/tavrelia/blackout", {1}}, slot(1, 0)},
        {{"/tavrelia/blackout", {0.0f}}, slot(1, 30)},
        {{"/tavrelia/picture/5", {1.0f}}, slot(20, 99)},
        {{"/tavrelia/picture/5", {0}}, slot(20, 0)},
        {{"/tavrelia/picture/5/latch", {1}}, slot(20, 99)},
        {{"/tavrelia/picture/5/latch", {0}}, slot(20, 0)},
        {{"/tavrelia/macro", {1}}, [](const Frame& f) { return f.at(21) == 77 && f.at(1) == 0; }},
        {{"/tavrelia/macro", {0}}, slot(21, 0)},
        {{"/tavrelia/blackout", {0}}, slot(1, 30)},
        {{"/tavrelia/page", {10}}, {}},
        {{"/tavrelia/fader/2", {123}}, slot(12, 123)},   // channel 12 of the stopped scene
        {{"/tavrelia/fader/2", {1.0f}}, slot(12, 255)},  // a float spans 0..255
        {{"/tavrelia/channel/40", {77}}, slot(40, 77)},   // whatever the page
        {{"/tavrelia/play", {1}}, {}},
        {{"/tavrelia/fader/3/manual", {1}}, {}},
        {{"/tavrelia/fader/3", {201}}, {}},
        {{"/tavrelia/manual", {1}}, slot(13, 201)},
        {{"/tavrelia/fader/3/manual", {0}}, slot(13, 0)},
        {{"/tavrelia/manual", {0}}, {}},
        {{"/tavrelia/handscan/priority", {1}}, {}},
        {{"/tavrelia/handscan/xy", {100, 200}}, [](const Frame& f) { return f.at(30) == 100 && f.at(31) == 200; }},
        {{"/tavrelia/handscan/priority", {0}}, slot(30, 0)},
        {{"/tavrelia/automat/1/run", {1}}, [](const Frame& f) { return f.at(50) == 255 || f.at(51) == 255; }},
        {{"/tavrelia/automat/1/run", {0}}, {}},
        {{"/tavrelia/automat/1/with-show", {1}}, [](const Frame& f) { return f.at(52) == 255 || f.at(53) == 255; }},
        {{"/tavrelia/mode", {"fadera"}}, {}},
        {{"/tavrelia/tempo", {10}}, [&](const Frame& f) {
             seen.insert(f.at(1));
             return seen.size() == kScenes;
         }},
        {{"/tavrelia/stop", {1}}, {}},
        {{"/tavrelia/mode", {"vykl"}}, {}},
        {{"/tavrelia/conveyor/mode", {"hand"}}, {}},
        {{"/tavrelia/conveyor/3", {1}}, slot(1, 222)},
        // The beat: taps and the clock's switches change the period, not the frame.
        {{"/tavrelia/tap", {1}}, {}},
        {{"/tavrelia/tap", {}}, {}},
        {{"/tavrelia/beat/per-scene", {"2"}}, {}},
        {{"/tavrelia/beat/source", {"tap"}}, {}},
        {{"/tavrelia/beat/follow", {1}}, {}},
        {{"/tavrelia/beat/follow", {0}}, {}},
        {{"/tavrelia/beat/source", {"midi"}}, {}},
        // Chasing and recording timecode: nothing on the wire until a time arrives.
        {{"/tavrelia/timecode/record", {1}}, {}},
        {{"/tavrelia/timecode/record", {0}}, {}},
        {{"/tavrelia/timecode/chase", {1}}, {}},
        {{"/tavrelia/timecode/chase", {0}}, {}},
    };
    std::set<QString> sent;
    quint64 count = osc.counts().received;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.message.path);
        peer.send(port, step.message);
        ASSERT_TRUE(received(++count));
        EXPECT_EQ(osc.counts().applied, count) << osc.lastFault().toStdString();
        if (step.wanted) {
            EXPECT_TRUE(wire(step.wanted));
        }
        sent.insert(family(QString::fromStdString(step.message.path).mid(10)));
    }
    // Every writable control has its step; those that change nothing on the wire say why.
    const std::map<QString, const char*> offTheWire = {
        {"keys", "the hot keys of the window"},
        {"conveyor/keys", "the conveyor's keys of the window"},
        {"demo", "stops the writing itself: tested with the link"},
    };
    for (const NamedControls::Info& info : NamedControls::all()) {
        if (info.writable && !offTheWire.count(info.name)) {
            EXPECT_TRUE(sent.count(family(info.name))) << "no step for " << info.name.toStdString();
        }
    }
}

TEST_F(OscOnTheWire, MalformedUnknownAndRefusedMessagesChangeNothing)
{
    console.live.go(2);
    console.live.stop();
    ASSERT_TRUE(wire([](const Frame& f) { return f.at(1) == 20; }));
    const auto before = console.named.snapshot();
    const OscServer::Counts counted = osc.counts();

    const std::string fader = OscPeer::encode({"/tavrelia/fader/1", {7}});
    enum Counter { Malformed, Unknown, Refused };
    const std::pair<std::string, Counter> datagrams[] = {
        {"", Malformed},
        {"hello", Malformed},
        {fader.substr(0, fader.size() - 2), Malformed},   // cut short
        {std::string("/tavrelia/fader/1\0\0\0,i\0\0", 24), Malformed},   // the int is missing
        {"#bundle\0" + std::string(8, '\0') + std::string("\0\0\0\x10", 4) + fader, Malformed},
        {OscPeer::encode({"/tavrelia/fader/1", {1, 2, 3}}), Malformed},
        {OscPeer::encode({"/tavrelia/fader/99", {7}}), Unknown},
        {OscPeer::encode({"/tavrelia/", {7}}), Unknown},
        {OscPeer::encode({"/tavrelia/FADER/1", {7}}), Unknown},
        {OscPeer::encode({"/other/fader/1", {7}}), Unknown},
        {OscPeer::encode({"/tavrelia/fader/1", {256}}), Refused},
        {OscPeer::encode({"/tavrelia/fader/1", {-1}}), Refused},
        {OscPeer::encode({"/tavrelia/fader/1", {1.5f}}), Refused},
        {OscPeer::encode({"/tavrelia/fader/1", {"seven"}}), Refused},
        {OscPeer::encode({"/tavrelia/go", {0}}), Refused},
        {OscPeer::encode({"/tavrelia/go", {257}}), Refused},
        {OscPeer::encode({"/tavrelia/scene", {2}}), Refused},   // read-only
        {OscPeer::encode({"/tavrelia/tempo", {171}}), Refused},
        {OscPeer::encode({"/tavrelia/blackout", {2}}), Refused},
        {OscPeer::encode({"/tavrelia/mode", {"loud"}}), Refused},
        {OscPeer::encode({"/tavrelia/mode", {1}}), Refused},
        {OscPeer::encode({"/tavrelia/handscan/xy", {10}}), Refused},       // half a pair
        {OscPeer::encode({"/tavrelia/handscan/xy", {10, 300}}), Refused},  // its second half out of range
        {OscPeer::encode({"/tavrelia/picture/17", {1}}), Unknown},
        {OscPeer::encode({"/tavrelia/clock", {"0ч 0м 0с "}}), Refused},      // read-only
        {OscPeer::encode({"/tavrelia/scenes", {3}}), Refused},
    };
    std::array<quint64, 3> expected{counted.malformed, counted.unknown, counted.refused};
    quint64 count = counted.received;
    for (const auto& [bytes, counter] : datagrams) {
        SCOPED_TRACE(counter);
        peer.sendBytes(port, bytes);
        ASSERT_TRUE(received(++count));
        ++expected[counter];
        const OscServer::Counts& now = osc.counts();
        EXPECT_EQ((std::array<quint64, 3>{now.malformed, now.unknown, now.refused}), expected)
            << osc.lastFault().toStdString();
    }
    EXPECT_EQ(osc.counts().applied, counted.applied);
    EXPECT_EQ(console.named.snapshot(), before);
    EXPECT_FALSE(wire([](const Frame& f) { return f.at(1) != 20 || f.at(31) != 0; }, 300ms));
}

TEST_F(OscOnTheWire, FeedbackGoesToEverySenderInItsOwnNumbers)
{
    OscPeer floats;   // another port of the machine let in
    peer.send(port, {"/tavrelia/fader/4", {200}});
    const auto first = feedback(peer);
    floats.send(port, {"/tavrelia/fader/5", {1.0f}});
    const auto second = feedback(floats);
    // The port that sent the PIN got every state, then what its own message changed (a
    // strip's level is its channel's too); the new port gets only the changes.
    EXPECT_EQ(missingStates(first), std::set<std::string>{});
    EXPECT_TRUE(OscPeer::has(first, "/tavrelia/fader/4", 200));
    ASSERT_EQ(second.size(), 2u);
    EXPECT_TRUE(OscPeer::has(second, "/tavrelia/fader/5", 1.0f));
    EXPECT_TRUE(OscPeer::has(second, "/tavrelia/channel/5", 1.0f));
    // The first sender hears of the second one's change in its own numbers.
    const auto heard = feedback(peer);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_TRUE(OscPeer::has(heard, "/tavrelia/fader/5", 255));
    EXPECT_TRUE(OscPeer::has(heard, "/tavrelia/channel/5", 255));

    // A change made anywhere else reaches both, each in its own numbers.
    console.live.setFader(4, 51);
    const auto toInts = feedback(peer);
    const auto toFloats = feedback(floats);
    ASSERT_EQ(toInts.size(), 2u);
    EXPECT_TRUE(OscPeer::has(toInts, "/tavrelia/fader/4", 51));
    ASSERT_EQ(toFloats.size(), 2u);
    EXPECT_TRUE(OscPeer::has(toFloats, "/tavrelia/fader/4", 0.2f));
    EXPECT_EQ(osc.clientCount(), 2u);
    // Asked for, every state comes to that port alone, in the numbers asked for.
    floats.send(port, {"/tavrelia/sync", {}});
    const auto synced = feedback(floats);
    EXPECT_EQ(missingStates(synced), std::set<std::string>{});
    EXPECT_TRUE(OscPeer::has(synced, "/tavrelia/fader/4", 0.2f));
    EXPECT_TRUE(feedback(peer).empty());

    // Words go as words; the pair as two numbers.
    console.live.setMode(tavrelia::OutputEngine::Avtomat);
    console.live.setHandPosition(12, 34);
    const auto changes = feedback(peer);
    EXPECT_TRUE(OscPeer::has(changes, "/tavrelia/mode", std::string("avtomat")));
    EXPECT_TRUE(std::any_of(changes.begin(), changes.end(), [](const OscPeer::Message& m) {
        return m.path == "/tavrelia/handscan/xy" && m.args == std::vector<OscPeer::Value>{12, 34};
    }));
}

// Nothing from a host acts, or hears more than why, before it has sent the PIN; wrong
// tries make it wait, and a new PIN shuts every host out again.
TEST_F(OscOnTheWire, AHostIsLetInByThePinOnly)
{
    OscPeer stranger(INADDR_LOOPBACK + 1);   // 127.0.0.2
    quint64 count = osc.counts().received;
    const quint64 applied = osc.counts().applied;
    auto take = [&](OscPeer& from, const OscPeer::Message& message) {
        from.send(port, message);
        return received(++count);
    };
    ASSERT_TRUE(take(stranger, {"/tavrelia/fader/1", {7}}));
    EXPECT_EQ(osc.lastFault(), QStringLiteral("127.0.0.2: нет PIN"));
    ASSERT_TRUE(take(stranger, {"/tavrelia/pin", {"0000"}}));
    EXPECT_EQ(osc.lastFault(), QStringLiteral("127.0.0.2: неверный PIN"));
    ASSERT_TRUE(take(stranger, {"/tavrelia/pin", {kPin.toStdString()}}));   // within the wait
    EXPECT_EQ(osc.lastFault(), QStringLiteral("127.0.0.2: PIN раньше срока"));
    ASSERT_TRUE(take(stranger, {"/tavrelia/pin", {1, 2}}));
    EXPECT_EQ(osc.counts().applied, applied);
    EXPECT_EQ(console.live.fader(1), 0);
    EXPECT_EQ(feedback(stranger).size(), 1u);   // why, once
    EXPECT_EQ(osc.clientCount(), 1u);

    // After the wait the PIN, here as an int, lets the host in: every state comes back,
    // and its other sockets are in too.
    std::this_thread::sleep_for(tavrelia::PinGuard::kFirstWait);
    ASSERT_TRUE(take(stranger, {"/tavrelia/pin", {4711}}));
    EXPECT_EQ(missingStates(feedback(stranger)), std::set<std::string>{});
    OscPeer sameHost(INADDR_LOOPBACK + 1);
    ASSERT_TRUE(take(sameHost, {"/tavrelia/fader/1", {7}}));
    EXPECT_EQ(osc.counts().applied, applied + 2);
    EXPECT_TRUE(wire([](const Frame& f) { return f.at(1) == 7; }));

    console.pins.setPin(QStringLiteral("13579"));
    EXPECT_EQ(osc.clientCount(), 0u);
    ASSERT_TRUE(take(peer, {"/tavrelia/fader/1", {9}}));
    ASSERT_TRUE(take(sameHost, {"/tavrelia/fader/1", {9}}));
    EXPECT_EQ(console.live.fader(1), 7);
    EXPECT_EQ(osc.lastFault(), QStringLiteral("127.0.0.2: нет PIN"));

    // Without a PIN the desk is shut to all.
    console.store.write(QStringLiteral("Remote"), {{QStringLiteral("Pin"), std::nullopt}});
    ASSERT_TRUE(take(peer, {"/tavrelia/pin", {kPin.toStdString()}}));
    EXPECT_EQ(osc.lastFault(), QStringLiteral("у пульта нет PIN"));
    EXPECT_EQ(osc.counts().applied, applied + 2);
}

// The PIN as a layout sends it, each from a machine of its own; numbers come back in
// the PIN's own type.
TEST_F(OscOnTheWire, ThePinComesAsAStringAnIntOrAFloat)
{
    uint32_t host = INADDR_LOOPBACK + 10;
    for (const auto& [pin, letIn] : {std::pair<OscPeer::Value, bool>{std::string("4711"), true}, {4711, true},
                                     {4711.0f, true}, {4711.5f, false}}) {
        OscPeer tablet(host++);
        tablet.send(port, {"/tavrelia/pin", {pin}});
        const auto back = feedback(tablet);
        EXPECT_EQ(missingStates(back).empty(), letIn) << host;
        EXPECT_EQ(OscPeer::has(back, "/tavrelia/fader/1", 0.0f), letIn && std::holds_alternative<float>(pin)) << host;
    }
}

// Why nothing happens goes back once a second at most, and never in more bytes than
// came: forged senders cannot make the desk flood anyone.
TEST_F(OscOnTheWire, AStrangerHearsWhyOnceASecondInNoMoreBytesThanItSent)
{
    OscPeer stranger(INADDR_LOOPBACK + 3);
    const std::tuple<std::string, bool, std::string> steps[] = {   // datagram, a second later, answer
        {OscPeer::encode({"/tavrelia/fader/1", {7}}), false, "needed"},
        {OscPeer::encode({"/tavrelia/pin", {"0000"}}), false, ""},   // within the second
        {OscPeer::encode({"/tavrelia/pin", {"0000"}}), true, "wrong"},
        {OscPeer::encode({"/tavrelia/play", {}}), true, ""},         // shorter than the answer
        {OscPeer::encode({"/x", {"a message of no control"}}), false, "needed"},
        {"not OSC, though long enough to be answered", true, ""},
    };
    for (const auto& [datagram, later, answer] : steps) {
        if (later)
            std::this_thread::sleep_for(OscServer::kAnswerEvery);
        stranger.sendBytes(port, datagram);
        const auto back = stranger.receive(300ms, 300ms, [] { QCoreApplication::processEvents(); });
        ASSERT_EQ(back.size(), answer.empty() ? 0u : 1u) << datagram;
        EXPECT_TRUE(answer.empty() || (OscPeer::has(back, "/tavrelia/pin", answer) &&
                                       OscPeer::encode(back[0]).size() <= datagram.size()));
    }
}

TEST_F(OscOnTheWire, AFloodIsReadAFewDatagramsATurn)
{
    // More than one turn's worth, and few enough for the socket's buffer to keep them all.
    constexpr int kSent = 2 * OscServer::kDatagramsPerTurn;
    const std::string garbage(200, 'x');
    for (int i = 0; i < kSent; ++i)
        peer.sendBytes(port, garbage);
    std::this_thread::sleep_for(50ms);
    QCoreApplication::processEvents();
    EXPECT_EQ(osc.counts().received, 1 + static_cast<quint64>(OscServer::kDatagramsPerTurn));
    EXPECT_TRUE(received(1 + kSent));
    EXPECT_EQ(osc.counts().malformed, static_cast<quint64>(kSent));
}

// While a sender floods the server with faders (each a change under the console's
// lock) and garbage, every tick still starts on time: the network is read on the
// event loop's thread and holds the lock only for each change.
TEST_F(OscOnTheWire, AFloodNeverHoldsTheTick)
{
    static std::atomic<int64_t> worstMicros{0};
    static std::atomic<int> ticks{0};
    console.stopOutput();
    console.startOutput([](tavrelia::OutputThread::Clock::time_point deadline) {
        const int64_t late =
            std::chrono::duration_cast<std::chrono::microseconds>(tavrelia::OutputThread::Clock::now() - deadline).count();
        int64_t worst = worstMicros.load();
        while (late > worst && !worstMicros.compare_exchange_weak(worst, late)) {
        }
        ++ticks;
    });
    std::atomic<bool> flooding{true};
    std::thread flood([&] {
        OscPeer sender;
        for (int i = 0; flooding; ++i) {
            sender.send(port, {"/tavrelia/fader/" + std::to_string(1 + i % 27), {i % 256}});
            sender.sendBytes(port, "garbage");
        }
    });
    const auto until = tavrelia::wire::Clock::now() + 1500ms;
    while (tavrelia::wire::Clock::now() < until)
        QCoreApplication::processEvents();
    flooding = false;
    flood.join();
    EXPECT_GE(ticks.load(), 25);
    EXPECT_LT(worstMicros.load(), 20000) << "µs the latest tick started late";
    EXPECT_GT(osc.counts().applied, 500u);
    EXPECT_GT(osc.counts().malformed, 500u);
}

}  // namespace

int main(int argc, char* argv[])
{
    return tavrelia::wire::runInAHomeOfItsOwn(argc, argv);
}
