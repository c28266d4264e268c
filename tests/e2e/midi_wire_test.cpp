// MIDI on the wire: the real window in-process with its output thread, its serial
// backend on one pseudo-terminal and a second pseudo-terminal standing in for the raw
// MIDI device of [MIDI] Device=. Notes, controllers and a clock are written to that
// terminal as a surface would; the levels are read on the DMX wire and the feedback
// on the MIDI terminal.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QScrollBar>
#include <QToolButton>

#include <algorithm>
#include <functional>
#include <memory>
#include <thread>

#include "program_run.h"
#include "midi/midi_connection.h"
#include "test_environment.h"
#include "wire_window.h"

using namespace std::chrono_literals;
using tavrelia::ShowImage;
using tavrelia::wire::Clock;
using tavrelia::wire::Packet;
using tavrelia::wire::Pty;
using Bytes = std::vector<uint8_t>;
using Frame = std::vector<uint8_t>;

namespace {

QByteArray pathOf(const Pty& pty)
{
    return QByteArray::fromStdString(pty.slavePath());
}

void write(const Pty& pty, const Bytes& bytes)
{
    ASSERT_EQ(::write(pty.master(), bytes.data(), bytes.size()), ssize_t(bytes.size()));
}

// The real window whose Tavrelia.conf names the DMX terminal, the MIDI terminal and
// the map; the show is set once the window has started up, scenes jump (vykl).
struct MidiWindow {
    MidiWindow(const QByteArray& map, const std::function<void(ShowImage&)>& show)
    {
        tavrelia::test::writeConf(QString::fromUtf8("[Interface]\nBackend=serial\nSerialDevice=" + pathOf(dmx) +
                                                    "\n\n[MIDI]\nEnabled=true\nDevice=" + pathOf(midi) + "\n\n[MIDI map]\n" + map));
        window = std::make_unique<tavrelia::test::Window>();
        window->form.FormCreate();
        {
            auto guard = console().lock();
            show(console().image);
        }
        window->form.ReturnPageControlAll();
        console().live.setMode(tavrelia::OutputEngine::Vykl);
        window->form.show();
    }
    ~MidiWindow() { window->form.close(); }

    tavrelia::Console& console() { return window->console; }

    // Packets from now on until one satisfies wanted, the window's timers running.
    bool wire(const std::function<bool(const Frame&)>& wanted, std::chrono::milliseconds timeout = 3000ms)
    {
        const size_t from = reader.packets().size();
        const auto deadline = Clock::now() + timeout;
        while (Clock::now() < deadline) {
            QTest::qWait(10);
            const auto packets = reader.packets();
            if (std::any_of(packets.begin() + long(from), packets.end(), [&](const Packet& p) { return wanted(p.frame); }))
                return true;
        }
        return false;
    }
    // What the surface is sent, until it holds these bytes in a row.
    bool surfaceGets(const Bytes& wanted, std::chrono::milliseconds timeout = 3000ms)
    {
        const auto deadline = Clock::now() + timeout;
        while (Clock::now() < deadline) {
            QTest::qWait(10);
            midi.readAvailable(back);
            if (std::search(back.begin(), back.end(), wanted.begin(), wanted.end()) != back.end())
                return true;
        }
        return false;
    }

    Pty dmx;
    tavrelia::wire::PacketReader reader{dmx};
    Pty midi;
    Bytes back;   // what came out of the MIDI terminal
    tavrelia::test::ScriptedDialogs dialogs;   // the close sequence's save dialog is cancelled
    std::unique_ptr<tavrelia::test::Window> window;
};

// Scene 1 has 60 on channel 3 and 200 on channel 13; picture 5 puts 99 on channel 20.
TEST(MidiWindow, NotesAndControllersReachTheWireAndTheSurfaceFollowsThePage)
{
    MidiWindow w("fader/3=cc 1 7\npicture/5=note 1 36\nblackout=note 1 40\n", [](ShowImage& image) {
        image.DataWrite(0, 3, 60);
        image.DataWrite(0, 13, 200);
        image[ShowImage::pictureFlagAddress(4, 20)] = 1;
        image[ShowImage::pictureLevelAddress(4, 20)] = 99;
    });
    ASSERT_TRUE(w.wire([](const Frame& f) { return f.at(3) == 60; }, 5000ms));
    // The surface is sent the bound states: fader 3 at 60 of 255, picture 5 off.
    ASSERT_TRUE(w.surfaceGets({0xB0, 7, 30})) << testing::PrintToString(w.back);
    EXPECT_TRUE(w.surfaceGets({0x90, 36, 0}));

    write(w.midi, {0x90, 36, 100});
    EXPECT_TRUE(w.wire([](const Frame& f) { return f.at(20) == 99; }));
    EXPECT_TRUE(w.surfaceGets({0x90, 36, 127}));   // the pad's lamp
    write(w.midi, {0x80, 36, 0});
    EXPECT_TRUE(w.wire([](const Frame& f) { return f.at(20) == 0; }));

    write(w.midi, {0xB0, 7, 127});
    EXPECT_TRUE(w.wire([](const Frame& f) { return f.at(3) == 255; }));
    write(w.midi, {0xB0, 7, 64});
    EXPECT_TRUE(w.wire([](const Frame& f) { return f.at(3) == 129; }));

    // The desk's page bar moved by ten: fader 3 is channel 13 now, and the surface's
    // fader is sent there (200 of 255) unasked; moved, it drives channel 13.
    w.back.clear();
    w.window->find<QScrollBar>("ScrolbarVertPos")->setValue(10);
    EXPECT_TRUE(w.surfaceGets({0xB0, 7, 100})) << testing::PrintToString(w.back);
    write(w.midi, {0xB0, 7, 0});
    EXPECT_TRUE(w.wire([](const Frame& f) { return f.at(13) == 0 && f.at(3) == 129; }));

    // The pad bound to blackout toggles it; its lamp follows.
    write(w.midi, {0x90, 40, 127, 0x80, 40, 0});
    EXPECT_TRUE(w.wire([](const Frame& f) { return std::all_of(f.begin() + 1, f.end(), [](uint8_t b) { return b == 0; }); }));
    EXPECT_TRUE(w.surfaceGets({0x90, 40, 127}));
    write(w.midi, {0x90, 40, 127, 0x80, 40, 0});
    EXPECT_TRUE(w.wire([](const Frame& f) { return f.at(3) == 129; }));
    EXPECT_EQ(w.reader.garbage(), 0u);
}

// A clock at 120 BPM, two beats a scene: a scene change on the wire every 1,000 ms,
// each on the first tick or two after its beat's pulse was written.
TEST(MidiWindow, AClockAt120BpmChangesTheSceneOnTheWireEverySecond)
{
    constexpr int kScenes = 8;
    MidiWindow w("", [](ShowImage& image) {
        image[ShowImage::kLastScene] = kScenes - 1;
        for (int s = 0; s < kScenes; ++s)
            image.DataWrite(uint8_t(s), 1, uint8_t(10 * (s + 1)));
    });
    ASSERT_TRUE(w.wire([](const Frame& f) { return f.at(1) == 10; }));
    auto* midi = qobject_cast<tavrelia::MidiConnection*>(w.console().connections.find(tavrelia::MidiConnection::kId));
    ASSERT_TRUE(midi);
    ASSERT_EQ(midi->link().devices().size(), 1);
    w.window->find<QCheckBox>("CheckBoxClockFollow")->setChecked(true);
    w.console().live.setBeatsPerScene(2);
    w.console().live.setPage(20);   // the desk shows other channels: the scenes still go out

    // From the test's own thread on absolute deadlines, as a drum machine sends it.
    constexpr int kPulses = 48 * (kScenes - 1) + 1;
    std::vector<Clock::time_point> written(kPulses);
    std::thread clock([&] {
        write(w.midi, {0xFA});
        const auto start = Clock::now() + 50ms;
        for (int i = 0; i < kPulses; ++i) {
            std::this_thread::sleep_until(start + std::chrono::nanoseconds(int64_t(i) * 500'000'000 / 24));
            write(w.midi, {0xF8});
            written[size_t(i)] = Clock::now();
        }
    });
    const size_t from = w.reader.packets().size();
    QTest::qWait(int(kPulses * 21) + 400);
    clock.join();
    EXPECT_TRUE(w.console().live.playing());

    // Scene s + 1 (level 10 (s + 1)) comes on the beat of pulse 48 s.
    const auto packets = w.reader.packets();
    std::vector<Clock::time_point> changes;
    auto p = packets.begin() + long(from);
    for (int s = 1; s < kScenes; ++s) {
        p = std::find_if(p, packets.end(), [&](const Packet& q) { return q.frame.at(1) == 10 * (s + 1); });
        ASSERT_NE(p, packets.end()) << "scene " << s + 1 << " never on the wire";
        const auto pulse = written[size_t(48 * s)];
        const double late = std::chrono::duration<double, std::milli>(p->at - pulse).count();
        EXPECT_GT(late, 0) << "scene " << s + 1 << " before its beat";
        EXPECT_LT(late, 100) << "scene " << s + 1;
        changes.push_back(p->at);
    }
    const double mean =
        std::chrono::duration<double, std::milli>(changes.back() - changes.front()).count() / double(changes.size() - 1);
    EXPECT_NEAR(mean, 1000, 20);
    EXPECT_NEAR(w.console().live.period(), 1000, 10);   // from the pulses as read: the last may come late
    EXPECT_EQ(w.reader.garbage(), 0u);
}

// Bytes read from the terminal, until they hold these in a row; no event loop runs.
bool reads(Pty& pty, const Bytes& wanted, Bytes& got, std::chrono::milliseconds timeout = 10s)
{
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        if (std::search(got.begin(), got.end(), wanted.begin(), wanted.end()) != got.end())
            return true;
        const Bytes more = pty.read(100ms);
        got.insert(got.end(), more.begin(), more.end());
    }
    return false;
}

// A binding learned in the window's group "MIDI" is written to Tavrelia.conf, and the
// real program started afresh on that file takes the surface's controller: the window,
// then the headless player with --midi.
TEST(MidiRestart, ABindingLearnedInTheWindowDrivesTheNextRun)
{
    tavrelia::wire::ProgramRun run;
    run.prepareShow({{7, 40}});
    Pty midi;
    const QByteArray interface =
        "[Interface]\nBackend=serial\nSerialDevice=" + QByteArray::fromStdString(run.device.path().string()) + "\n";
    run.writeConf(interface + "\n[MIDI]\nEnabled=true\nDevice=" + pathOf(midi) + "\n");

    // The window in this process, on the run's settings.
    const QByteArray ownConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", run.dir("config").toUtf8());
    {
        tavrelia::test::ScriptedDialogs dialogs;
        tavrelia::test::Window w;
        w.form.FormCreate();
        ASSERT_EQ(w.console.connections.where(QStringLiteral("midi")), pathOf(midi));
        w.find<QComboBox>("ComboBoxMidiControl")->setCurrentText(QStringLiteral("fader/7"));
        w.find<QToolButton>("SpeedButtonMidiLearn")->click();
        write(midi, {0xB1, 70, 10});
        const auto deadline = Clock::now() + 3s;
        while (w.text("LabelMidiBinding") != QStringLiteral("cc 2 70") && Clock::now() < deadline)
            QTest::qWait(10);
        EXPECT_EQ(w.text("LabelMidiBinding"), QStringLiteral("cc 2 70"));
        w.form.close();
    }
    qputenv("XDG_CONFIG_HOME", ownConfig);
    QFile conf(run.dir("config") + "/Tavrelia/Tavrelia.conf");
    ASSERT_TRUE(conf.open(QIODevice::ReadOnly));
    const QByteArray learned = conf.readAll();
    EXPECT_TRUE(learned.startsWith(interface)) << learned.constData();
    EXPECT_TRUE(learned.contains("[MIDI map]\nfader/7=cc 2 70\n")) << learned.constData();

    // The program itself: it opens the device, sends fader 7's state (40 of 255) and
    // takes the controller into the stopped scene.
    midi.read(200ms);   // what the first window sent
    run.reader->clear();
    run.start();
    Bytes back;
    ASSERT_TRUE(reads(midi, {0xB1, 70, 20}, back)) << testing::PrintToString(back) << run.output();
    write(midi, {0xB1, 70, 127});
    EXPECT_TRUE(run.reader->waitFor(
        [](const std::vector<Packet>& packets) { return !packets.empty() && packets.back().frame.at(7) == 255; }, 5s))
        << run.output();

    // The headless player with --midi on the same file, a bad line and a stop pad
    // added: the line is named on stderr, the rest loads; the pad stops the playing
    // show and the learned controller sets the stopped scene's level.
    run.process.kill();
    run.process.waitForFinished(5000);
    const int badLine = int(learned.count('\n')) + 1;
    run.writeConf(learned + "fader/99=cc 1 1\nstop=note 2 60\n");
    run.reader->clear();
    midi.read(200ms);
    run.start({"--play", run.dir("data") + "/Tavrelia/light.tvl", "--midi", "--mode", "vykl"});
    back.clear();
    ASSERT_TRUE(reads(midi, {0x91, 60, 0}, back)) << testing::PrintToString(back) << run.output();   // playing
    write(midi, {0x91, 60, 127, 0x81, 60, 0, 0xB1, 70, 127});
    EXPECT_TRUE(run.reader->waitFor(
        [](const std::vector<Packet>& packets) { return !packets.empty() && packets.back().frame.at(7) == 255; }, 5s))
        << run.output();
    EXPECT_TRUE(reads(midi, {0x91, 60, 127}, back)) << testing::PrintToString(back);   // stopped
    EXPECT_NE(run.standardError().find("tavrelia: [MIDI map] line " + std::to_string(badLine) + ": no control fader/99"),
              std::string::npos)
        << run.output();
    EXPECT_NE(run.standardOutput().find("MIDI device found: " + midi.slavePath()), std::string::npos) << run.output();
    run.process.terminate();
    ASSERT_TRUE(run.process.waitForFinished(5000));
    EXPECT_EQ(run.process.exitCode(), 0) << run.output();
}

}  // namespace

int main(int argc, char* argv[])
{
    QTemporaryDir home;
    tavrelia::test::isolateEnvironment(home);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
