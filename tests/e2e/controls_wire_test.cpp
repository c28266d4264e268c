// Every live control driven through the core alone, as a remote or the player drives
// it: no widget library, the real output thread, the serial backend on a
// pseudo-terminal, and what each control does read on the wire.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>

#include "console_on_the_wire.h"

using namespace std::chrono_literals;
using tavrelia::Console;
using tavrelia::Controls;
using tavrelia::Conveyor;
using tavrelia::OutputEngine;
using tavrelia::ShowImage;
using tavrelia::wire::Packet;

namespace {

using ControlsOnTheWire = tavrelia::wire::ConsoleOnTheWire;

TEST_F(ControlsOnTheWire, ScenesGoNextPrevAndTheirStates)
{
    std::vector<std::pair<int, int>> shown;
    QObject::connect(&live, &Controls::sceneChanged, [&](int scene, int scenes) { shown.emplace_back(scene, scenes); });
    live.go(3);
    EXPECT_TRUE(live.playing());
    EXPECT_TRUE(slotIs(1, 30));
    live.next();
    EXPECT_TRUE(slotIs(1, 40));
    live.next();   // past the last: the first
    EXPECT_TRUE(slotIs(1, 10));
    live.prev();
    EXPECT_TRUE(slotIs(1, 40));
    live.go(99);   // beyond the show: its last scene
    EXPECT_EQ(live.scene(), kScenes);
    EXPECT_EQ(shown, (std::vector<std::pair<int, int>>{{3, 4}, {4, 4}, {1, 4}, {4, 4}}));
}

TEST_F(ControlsOnTheWire, PlayStopAndTempo)
{
    std::vector<bool> playing;
    std::vector<int> tempos;
    QObject::connect(&live, &Controls::playingChanged, [&](bool on) { playing.push_back(on); });
    QObject::connect(&live, &Controls::tempoChanged, [&](int tempo) { tempos.push_back(tempo); });
    live.setTempo(5);   // below the bar: its lowest, a scene every 100 ms
    EXPECT_EQ(live.tempo(), 10);
    EXPECT_EQ(console.sequencer.period(), 100);
    live.play();
    std::set<int> seen;
    wire([&](const auto& f) {
        seen.insert(f.at(1));
        return seen.size() == kScenes;
    });
    EXPECT_EQ(seen, (std::set<int>{10, 20, 30, 40}));
    live.stop();
    QCoreApplication::processEvents();
    const int held = reader.packets().back().frame.at(1);
    EXPECT_TRUE(slotStays(1, held, 400ms));
    EXPECT_EQ(playing, (std::vector<bool>{true, false}));
    EXPECT_EQ(tempos, (std::vector<int>{10}));
}

TEST_F(ControlsOnTheWire, BlackoutPicturesAndMacro)
{
    live.go(2);
    ASSERT_TRUE(slotIs(1, 20));
    live.play();
    live.setBlackOut(true);
    EXPECT_TRUE(slotIs(1, 0));
    EXPECT_FALSE(live.playing());   // the blackout stops the show
    live.setBlackOut(false);
    EXPECT_TRUE(slotIs(1, 20));

    std::vector<std::pair<int, bool>> pictures;
    QObject::connect(&live, &Controls::pictureChanged, [&](int n, bool on) { pictures.emplace_back(n, on); });
    live.setPicture(5, true);
    EXPECT_TRUE(slotIs(20, 99));
    live.setPicture(5, true);   // no change, no signal
    live.setPicture(5, false);
    EXPECT_TRUE(slotIs(20, 0));
    live.setPicture(17, true);   // no such picture
    EXPECT_EQ(pictures, (std::vector<std::pair<int, bool>>{{5, true}, {5, false}}));

    // The macro: everything off but picture 16; let go, the blackout stays.
    live.setMacro(true);
    EXPECT_TRUE(wire([](const auto& f) { return f.at(21) == 77 && f.at(1) == 0; }));
    EXPECT_TRUE(live.blackOut());
    live.setMacro(false);
    EXPECT_TRUE(slotIs(21, 0));
    EXPECT_TRUE(live.blackOut());
    live.setBlackOut(false);
    EXPECT_TRUE(slotIs(1, 20));
}

TEST_F(ControlsOnTheWire, TransitionModes)
{
    live.go(1);
    ASSERT_TRUE(slotIs(1, 10));
    live.setMode(OutputEngine::Fadera);
    EXPECT_EQ(live.mode(), OutputEngine::Fadera);
    {
        auto guard = console.lock();
        console.image[ShowImage::kRatesBase + 1] = 5;   // channel 1 fades 5 a tick
    }
    live.go(4);
    // On its way from 10 to 40 the channel passes levels between them.
    EXPECT_TRUE(wire([](const auto& f) { return f.at(1) > 10 && f.at(1) < 40; }));
    EXPECT_TRUE(slotIs(1, 40));
}

TEST_F(ControlsOnTheWire, DeskPageFadersAndManual)
{
    std::vector<int> pages;
    QObject::connect(&live, &Controls::pageChanged, [&](int offset) { pages.push_back(offset); });
    live.setPage(10);
    live.setFader(2, 123);   // strip 2 of the page: channel 12, into the stopped scene
    EXPECT_TRUE(slotIs(12, 123));
    EXPECT_EQ(live.fader(2), 123);

    // While the show plays the faders reach the wire through the manual overlay only.
    live.play();
    live.setFaderManual(3, true);
    live.setFader(3, 201);
    EXPECT_TRUE(slotStays(13, 0, 300ms));
    live.setManual(true);
    EXPECT_TRUE(slotIs(13, 201));
    EXPECT_TRUE(slotStays(13, 201, 300ms));
    live.setFaderManual(3, false);
    EXPECT_TRUE(slotIs(13, 0));
    live.setPage(500);   // beyond the last page: the last
    EXPECT_EQ(live.page(), tavrelia::ChannelDesk::kMaxPage);
    EXPECT_EQ(pages, (std::vector<int>{10, tavrelia::ChannelDesk::kMaxPage}));
}

TEST_F(ControlsOnTheWire, AutomatsAndHandScan)
{
    tavrelia::Automat& first = console.automats[1];
    first.setChannel(49);   // channels 50..53
    first.setBright(0);
    first.setDark(255);
    live.setAutomatRun(1, true);
    EXPECT_TRUE(wire([](const auto& f) { return f.at(50) == 255 || f.at(51) == 255; }));
    live.setAutomatRun(1, false);
    live.setAutomatWithShow(1, true);
    EXPECT_TRUE(live.automatWithShow(1));
    live.play();
    EXPECT_TRUE(wire([](const auto& f) { return f.at(52) == 255 || f.at(53) == 255; }));

    {
        auto guard = console.lock();
        console.image[ShowImage::selectAddress(30)] = 1;
    }
    live.setHandPriority(true);
    live.setHandPosition(100, 300);   // Y beyond the pad: its edge
    EXPECT_TRUE(wire([](const auto& f) { return f.at(30) == 100 && f.at(31) == 255; }));
    live.setHandPriority(false);
    EXPECT_FALSE(live.handPriority());
}

TEST_F(ControlsOnTheWire, ConveyorButtonsAndModes)
{
    QTemporaryDir folder;
    ShowImage other;
    other.resetToNewShow();
    other.DataWrite(0, 1, 222);
    const QString path = folder.filePath(QStringLiteral("other.tvl"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(other.data()), ShowImage::kImageSize);
    file.close();
    console.conveyor.bind(3, path);

    int changes = 0;
    QObject::connect(&live, &Controls::conveyorChanged, [&] { ++changes; });
    live.pressConveyor(3);   // hand mode: loads at once
    EXPECT_TRUE(slotIs(1, 222));
    EXPECT_TRUE(live.conveyor().button(3).pressed);
    live.setConveyorMode(Conveyor::Mode::Off);
    EXPECT_EQ(live.conveyor().mode(), Conveyor::Mode::Off);
    EXPECT_GE(changes, 2);
}

TEST_F(ControlsOnTheWire, LinkStateFollowsTheInterface)
{
    std::vector<bool> links;
    QObject::connect(&live, &Controls::linkChanged, [&](bool up) { links.push_back(up); });
    EXPECT_TRUE(live.link());
    reader.unplug();
    const auto until = [&](const std::function<bool()>& done) {
        const auto deadline = tavrelia::wire::Clock::now() + 3s;
        while (!done() && tavrelia::wire::Clock::now() < deadline) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(5ms);
        }
    };
    until([&] { return !links.empty(); });
    EXPECT_FALSE(live.link());
    EXPECT_EQ(links, std::vector<bool>{false});
    // Demo mode: no interface takes the frames.
    live.setDemo(true);
    EXPECT_TRUE(live.demo());
    EXPECT_FALSE(live.link());
}


// The remotes' names: a message checked whole, then acted on as the call it names.
TEST_F(ControlsOnTheWire, NamesRefuseBadMessagesWhole)
{
    tavrelia::NamedControls& named = console.named;
    const auto before = named.snapshot();
    const std::vector<std::pair<QString, QVariant>> refused{
        {"fader/28", 10},                          // no such strip
        {"fader/3", 256},                          // out of range
        {"fader/3", 12.5},                         // not a whole number
        {"fader/3", QStringLiteral("12")},         // a word for a number
        {"mode", QStringLiteral("fade")},          // no such word
        {"handscan/xy", QVariantList{1}},          // half a pair
        {"handscan/xy", QVariantList{1, 999}},
        {"scene", 2},                              // a state, not a control
        {"clock", QStringLiteral("0")},
        {"tempo", QVariant()},                     // a number needs one
        {"picture/0", 1},
        {"channel/256", 1},
        {"beat/per-scene", 3},                     // a number that is none of its words
        {"", 1},
    };
    for (const auto& [name, value] : refused)
        EXPECT_TRUE(named.apply(name, value).has_value()) << name.toStdString();
    QCoreApplication::processEvents();
    EXPECT_EQ(named.snapshot(), before);
    EXPECT_EQ(named.snapshot().size(), tavrelia::NamedControls::all().size());
}

TEST_F(ControlsOnTheWire, NamesDriveTheWireAndReportChanges)
{
    tavrelia::NamedControls& named = console.named;
    std::vector<std::pair<QString, QVariant>> changes;
    QObject::connect(&named, &tavrelia::NamedControls::changed,
                     [&](const QString& name, const QVariant& value) { changes.emplace_back(name, value); });
    const auto changed = [&](const QString& name) {
        QVariant last;
        for (const auto& [n, v] : changes)
            last = n == name ? v : last;
        return last;
    };

    EXPECT_FALSE(named.apply(QStringLiteral("go"), 2.0));   // JSON numbers are doubles
    EXPECT_TRUE(slotIs(1, 20));
    EXPECT_EQ(changed("scene"), 2);
    EXPECT_EQ(changed("playing"), 1);

    // A held picture goes with its release; a latched one stays until cleared.
    EXPECT_FALSE(named.apply(QStringLiteral("picture/5"), 1));
    EXPECT_TRUE(slotIs(20, 99));
    EXPECT_FALSE(named.apply(QStringLiteral("picture/5"), 0));
    EXPECT_TRUE(slotIs(20, 0));
    EXPECT_FALSE(named.apply(QStringLiteral("picture/5/latch"), 1));
    EXPECT_FALSE(named.apply(QStringLiteral("picture/5"), 0));
    EXPECT_TRUE(slotStays(20, 99, 200ms));
    EXPECT_EQ(changed("picture/5/latch"), 1);
    EXPECT_FALSE(named.apply(QStringLiteral("picture/5/latch"), 0));
    EXPECT_TRUE(slotIs(20, 0));

    // A fader dragged within one turn of the event loop is one change, its last.
    EXPECT_FALSE(named.apply(QStringLiteral("stop")));
    EXPECT_FALSE(named.apply(QStringLiteral("page"), 10));
    changes.clear();
    for (int level : {50, 60, 70})
        EXPECT_FALSE(named.apply(QStringLiteral("fader/2"), level));
    EXPECT_TRUE(slotIs(12, 70));
    EXPECT_EQ(std::count_if(changes.begin(), changes.end(), [](const auto& c) { return c.first == "fader/2"; }), 1);
    EXPECT_EQ(changed("fader/2"), 70);

    // A change made elsewhere (the window, a key) comes out by name as well.
    live.setMode(OutputEngine::Fadera);
    live.setHandPosition(7, 8);
    QCoreApplication::processEvents();
    EXPECT_EQ(changed("mode"), QStringLiteral("fadera"));
    EXPECT_EQ(named.value(u"handscan/xy"), (QVariantList{7, 8}));
    EXPECT_FALSE(named.apply(QStringLiteral("mode"), QStringLiteral("vykl")));
    EXPECT_EQ(live.mode(), OutputEngine::Vykl);
}

// A channel by its number reaches the wire whatever the page: through its strip on
// the page shown, straight into the stopped scene off it. Words that are numbers come
// as numbers too.
TEST_F(ControlsOnTheWire, ChannelsByNumberAndWordsAsNumbers)
{
    tavrelia::NamedControls& named = console.named;
    EXPECT_FALSE(named.apply(QStringLiteral("page"), 10));
    EXPECT_FALSE(named.apply(QStringLiteral("channel/12"), 80));
    EXPECT_TRUE(slotIs(12, 80));
    EXPECT_EQ(live.fader(2), 80);
    EXPECT_FALSE(named.apply(QStringLiteral("channel/200"), 90.0));
    EXPECT_TRUE(slotIs(200, 90));
    EXPECT_EQ(named.value(u"channel/200"), 90);
    EXPECT_EQ(live.page(), 10);
    for (const QVariant& beats : {QVariant(2), QVariant(8.0), QVariant(QStringLiteral("4"))}) {
        EXPECT_FALSE(named.apply(QStringLiteral("beat/per-scene"), beats));
        EXPECT_EQ(live.beatsPerScene(), beats.toInt());
    }
}

}  // namespace

int main(int argc, char* argv[])
{
    return tavrelia::wire::runInAHomeOfItsOwn(argc, argv);
}
