#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <alsa/asoundlib.h>

#include <functional>
#include <vector>

#include "application.h"
#include "console.h"
#include "dmx_wire.h"
#include "midi/alsa_sequencer_port.h"
#include "midi/folder_watch.h"
#include "midi/midi_map.h"
#include "midi/midi_parser.h"
#include "midi/midi_connection.h"
#include "midi/midi_link.h"
#include "settings/settings_store.h"

using namespace std::chrono_literals;
using tavrelia::Console;
using tavrelia::MidiBinding;
using tavrelia::MidiMap;
using tavrelia::MidiMessage;
using tavrelia::MidiParser;
using Kind = tavrelia::MidiMessage::Kind;

namespace {

std::vector<MidiMessage> parse(const std::vector<int>& bytes)
{
    MidiParser parser;
    std::vector<MidiMessage> messages;
    for (int byte : bytes) {
        if (auto m = parser.feed(uint8_t(byte)))
            messages.push_back(*m);
    }
    return messages;
}

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray out;
    for (int b : list)
        out.append(char(b));
    return out;
}

// A settings file of this text, in a folder of its own.
struct ConfFile {
    explicit ConfFile(const QByteArray& text)
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(text);
    }
    QTemporaryDir dir;
    QString path = dir.filePath("Tavrelia.conf");
    tavrelia::SettingsStore store{path};
};

MidiMap readMap(const QByteArray& text, QList<MidiMap::Fault>* faults)
{
    const ConfFile conf(text);
    return MidiMap::read(conf.store.group(MidiMap::kGroup), &tavrelia::MidiSurface::refusal, faults);
}

// The file's text with a binding stored.
QByteArray edited(const QByteArray& text, const QString& name, const std::optional<MidiBinding>& binding)
{
    ConfFile conf(text);
    conf.store.write(MidiMap::kGroup, {MidiMap::edit(name, binding)});
    QFile file(conf.path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// A console whose Tavrelia.conf holds the map, started as the window starts MIDI.
struct Surface {
    explicit Surface(const QByteArray& conf)
    {
        tavrelia::test::needApplication();
        qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
        QDir().mkpath(dir.filePath("Tavrelia"));
        QFile file(tavrelia::SettingsStore::filePath());
        file.open(QIODevice::WriteOnly);
        file.write(conf);
        file.close();
        console.clearShowData();
        console.live.setClock([this] { return now; });
        QObject::connect(&midi.surface(), &tavrelia::MidiSurface::output,
                         [this](const QByteArray& b) { sent += b; });
        connection.start(console.store);
    }
    void in(const QByteArray& b)
    {
        midi.surface().input(QStringLiteral("test"), b);
        QCoreApplication::processEvents();   // the named states' scan
    }
    QTemporaryDir dir;
    Console console;
    tavrelia::MidiConnection connection{console.named, console.live, console.store};
    tavrelia::MidiLink& midi = connection.link();
    tavrelia::TapTempo::Clock::time_point now{};
    QByteArray sent;
};

}  // namespace

TEST(MidiParser, RunningStatusRealTimeAndSystemMessages)
{
    const struct {
        const char* what;
        std::vector<int> in;
        std::vector<MidiMessage> out;
    } cases[] = {
        {"note on, running status, velocity 0 is off", {0x91, 36, 100, 37, 0},
         {{Kind::NoteOn, 1, 36, 100}, {Kind::NoteOff, 1, 37, 0}}},
        {"clock inside a controller", {0xB0, 7, 0xF8, 64, 0xFA}, {{Kind::Clock}, {Kind::ControlChange, 0, 7, 64}, {Kind::Start}}},
        {"sysex skipped, running status gone after it", {0xB0, 1, 2, 0xF0, 1, 2, 0xF8, 3, 0xF7, 4, 5},
         {{Kind::ControlChange, 0, 1, 2}, {Kind::Clock}}},
        {"song position cancels running status", {0x90, 1, 1, 0xF2, 3, 4, 5, 6}, {{Kind::NoteOn, 0, 1, 1}}},
        {"data with no status, program change, pitch bend", {5, 0xC3, 9, 0xE0, 1, 2, 0xBF, 120, 0}, {{Kind::ControlChange, 15, 120, 0}}},
        {"continue, stop, active sensing", {0xFB, 0xFE, 0xFC}, {{Kind::Continue}, {Kind::Stop}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parse(c.in), c.out) << c.what;
}

TEST(MidiMap, BadLinesAreNamedAndTheRestLoads)
{
    const QByteArray text = "[Interface]\nBackend=serial\n\n[MIDI map]\nfader/3=cc 1 7\npicture/2=note 1 36\n"
                            "fader/99=cc 1 8\nfader/4=cc 17 8\nplay=knob 1 2\nscene=cc 1 9\nfader/5 cc 1 9\n"
                            "fader/6=cc14 2 40\nfader/7=cc14 2 31\n; a comment\n[Other]\nfader/8=cc 1 1\n";
    QList<MidiMap::Fault> faults;
    const MidiMap map = readMap(text, &faults);
    QList<int> lines;
    for (const auto& f : faults)
        lines.append(f.line);
    EXPECT_EQ(lines, (QList<int>{7, 8, 9, 10, 11, 12}));
    ASSERT_EQ(map.entries().size(), 3);
    EXPECT_EQ(*map.find("fader/3"), (MidiBinding{MidiBinding::Type::Cc, 1, 7}));
    EXPECT_EQ(*map.find("picture/2"), (MidiBinding{MidiBinding::Type::Note, 1, 36}));
    EXPECT_EQ(map.find("fader/7")->text(), "cc14 2 31");

    // QSettings' own spelling of the same section reads the same.
    QList<MidiMap::Fault> none;
    const MidiMap rewritten = readMap("[MIDI%20map]\nfader\\3=cc 1 7\n", &none);
    EXPECT_TRUE(none.isEmpty());
    ASSERT_NE(rewritten.find("fader/3"), nullptr);

    // A binding replaces its line, goes into the section, or makes one; nothing else moves.
    EXPECT_EQ(edited(text, "fader/3", MidiBinding{MidiBinding::Type::Cc, 2, 8}),
              QByteArray(text).replace("fader/3=cc 1 7", "fader/3=cc 2 8"));
    EXPECT_EQ(edited(text, "fader/3", std::nullopt), QByteArray(text).replace("fader/3=cc 1 7\n", ""));
    EXPECT_EQ(edited(text, "tap", MidiBinding{MidiBinding::Type::Note, 10, 1}),
              QByteArray(text).replace("; a comment\n", "; a comment\ntap=note 10 1\n"));
    EXPECT_EQ(edited("[Interface]\nBackend=ftdi\n", "play", MidiBinding{}),
              "[Interface]\nBackend=ftdi\n\n[MIDI map]\nplay=note 1 0\n");
}

// Notes and controllers act on the controls; the bound states go back to the surface.
TEST(MidiSurface, ActsOnTheControlsAndSendsTheStatesBack)
{
    Surface s("[MIDI map]\nfader/3=cc 1 7\nfader/4=cc14 1 8\npicture/2=note 1 36\nblackout=note 2 1\n"
              "mode=cc 1 20\n");
    s.in(bytes({0xB0, 7, 127, 8, 64, 40, 1}));
    EXPECT_EQ(s.console.live.fader(3), 255);
    EXPECT_EQ(s.console.live.fader(4), 128);   // (64 << 7 | 1) of 16383
    s.in(bytes({0x90, 36, 100}));
    EXPECT_TRUE(s.console.live.picture(2));
    s.in(bytes({0x80, 36, 0}));
    EXPECT_FALSE(s.console.live.picture(2));
    s.in(bytes({0x91, 1, 127, 0x81, 1, 0, 0xB0, 20, 127}));   // a pad toggles; the last mode
    EXPECT_TRUE(s.console.live.blackOut());
    EXPECT_EQ(s.console.live.mode(), 2);

    s.sent.clear();
    s.console.live.setFader(3, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(s.sent, bytes({0xB0, 7, 0}));
    // After a page change every bound fader shows its new strip, changed or not.
    s.sent.clear();
    s.console.live.setPage(10);
    QCoreApplication::processEvents();
    EXPECT_TRUE(s.sent.contains(bytes({0xB0, 7, 0}))) << s.sent.toHex().constData();
    EXPECT_TRUE(s.sent.contains(bytes({0xB0, 8, 0, 0xB0, 40, 0}))) << s.sent.toHex().constData();
}

TEST(MidiSurface, LearnsANoteAndA14BitPairAndStoresThem)
{
    // The pair takes its controllers from fader/2, the note from play.
    Surface s("[Interface]\nBackend=serial\n[MIDI map]\nplay=note 1 5\nfader/2=cc14 3 3\n");
    s.midi.surface().learn("tap");
    s.in(bytes({0x90, 5, 127}));
    s.midi.surface().learn("fader/1");
    s.in(bytes({0xB2, 3, 10, 35, 20}));
    QFile file(tavrelia::SettingsStore::filePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "[Interface]\nBackend=serial\n[MIDI map]\ntap=note 1 5\nfader/1=cc14 3 3\n");
    s.in(bytes({0xB2, 3, 127, 35, 127}));
    EXPECT_EQ(s.console.live.fader(1), 255);
}

// A clock at 120 BPM with two beats a scene: a scene change on every 48th pulse,
// a period of 1,000 ms; start plays from the first scene on the next pulse, stop
// stops, and a clock gone silent leaves the last tempo.
TEST(MidiClock, ScenesFallOnTheBeatsAndTheTempoStays)
{
    Surface s("");
    tavrelia::Controls& live = s.console.live;
    {
        auto guard = s.console.lock();
        s.console.image[tavrelia::ShowImage::kLastScene] = 7;
    }
    s.console.sequencer.start();
    live.setClockFollow(true);
    live.setBeatsPerScene(2);
    const auto pulse = std::chrono::microseconds(20833);
    s.in(bytes({0xFA}));
    std::vector<int> scenes;
    for (int i = 0; i < 24 * 8; ++i, s.now += pulse) {
        s.in(bytes({0xF8}));
        if (i % 48 == 0)
            scenes.push_back(live.scene());
        else
            EXPECT_EQ(live.scene(), scenes.back()) << i;
    }
    EXPECT_EQ(scenes, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_TRUE(live.playing());
    EXPECT_NEAR(live.period(), 1000, 1);
    EXPECT_FALSE(s.console.sequencer.timer().isActive());
    EXPECT_EQ(s.console.image.sceneTempo(), tavrelia::ShowImage::kNewTempo);

    s.in(bytes({0xFC}));
    EXPECT_FALSE(live.playing());
    s.in(bytes({0xFB}));
    EXPECT_TRUE(live.playing());

    s.now += 2100ms;
    QElapsedTimer waited;
    waited.start();
    while (!s.console.sequencer.timer().isActive() && waited.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(s.console.sequencer.timer().isActive());
    EXPECT_NEAR(s.console.sequencer.timer().interval(), 1000, 1);

    live.setClockFollow(false);
    EXPECT_EQ(live.period(), 1936);
}

// A terminal stands in for a raw MIDI device: bytes reach the controls, feedback
// comes back out, and a device pulled and put back works again within two seconds.
TEST(RawMidiDevice, FoundLostAndFoundAgain)
{
    QTemporaryDir dir;
    auto pty = std::make_unique<tavrelia::wire::Pty>();
    tavrelia::wire::DevicePath path(dir.filePath("midi").toStdString());
    path.pointAt(*pty);
    Surface s("[MIDI]\nDevice=" + QByteArray::fromStdString(path.path().string()) + "\n[MIDI map]\nfader/2=cc 1 1\n");
    ASSERT_EQ(s.midi.devices().size(), 1);
    const auto wait = [](auto done) {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < 3000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    };
    std::vector<uint8_t> back = pty->read(500ms);   // the states at start
    EXPECT_EQ(back, (std::vector<uint8_t>{0xB0, 1, 0}));
    const uint8_t move[] = {0xB0, 1, 127};
    ASSERT_EQ(::write(pty->master(), move, 3), 3);
    EXPECT_TRUE(wait([&] { return s.console.live.fader(2) == 255; }));

    pty->unplug();
    EXPECT_TRUE(wait([&] { return s.midi.devices().isEmpty(); }));
    pty = std::make_unique<tavrelia::wire::Pty>();
    path.pointAt(*pty);
    QElapsedTimer replug;
    replug.start();
    EXPECT_TRUE(wait([&] { return !s.midi.devices().isEmpty(); }));
    EXPECT_LE(replug.elapsed(), 2000);
    const uint8_t down[] = {0xB0, 1, 0};
    ASSERT_EQ(::write(pty->master(), down, 3), 3);
    EXPECT_TRUE(wait([&] { return s.console.live.fader(2) == 0; }));
}

bool within(std::chrono::milliseconds limit, const std::function<bool()>& done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < limit.count())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// Device nodes as the kernel and udev make them are told without looking, also in a
// folder that comes only later (no sound card yet), or comes again after it went.
TEST(FolderWatch, ToldOfNodesAlsoInAFolderThatComesLater)
{
    tavrelia::test::needApplication();   // the watch's notifier
    QTemporaryDir root;
    const QString snd = root.filePath("snd");
    const QString node = snd + "/midiC1D0";
    tavrelia::FolderWatch watch;
    int told = 0;
    QObject::connect(&watch, &tavrelia::FolderWatch::changed, [&] { ++told; });
    ASSERT_TRUE(watch.watch(snd));
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"the folder made", [&] { QDir().mkdir(snd); }},
        {"a node made", [&] { QFile(node).open(QIODevice::WriteOnly); }},
        {"its permissions set", [&] { QFile::setPermissions(node, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup); }},
        {"the folder gone and made again", [&] { QDir(snd).removeRecursively(); QDir().mkdir(snd); }},
        {"a node moved in", [&] { QFile(root.filePath("n")).open(QIODevice::WriteOnly); QFile::rename(root.filePath("n"), node); }},
    };
    for (const auto& [what, act] : steps) {
        SCOPED_TRACE(what);
        const int before = told;
        act();
        EXPECT_TRUE(within(1000ms, [&] { return told > before; }));
    }
    const int settled = told;
    within(300ms, [] { return false; });
    EXPECT_EQ(told, settled);
}

// Nothing looks for devices on a timer while the watch is on: a device put in place is
// opened at once.
TEST(RawMidiDevice, FoundByTheWatchWithoutATimer)
{
    tavrelia::test::needApplication();
    QTemporaryDir dir;
    tavrelia::wire::Pty pty;
    tavrelia::wire::DevicePath path(dir.filePath("midi").toStdString());
    tavrelia::RawMidiPorts ports;
    ports.setDevice(QString::fromStdString(path.path().string()));
    ports.start();
    auto* timer = ports.findChild<QTimer*>("TimerMidiScan");
    ASSERT_TRUE(timer);
    EXPECT_FALSE(timer->isActive());
    path.pointAt(pty);
    EXPECT_TRUE(within(300ms, [&] { return !ports.openPaths().isEmpty(); }));
    EXPECT_FALSE(timer->isActive());
}

// ALSA's coder turns every event of a sending program into a whole message: no running
// status, since events of different programs share one decoder; and what the surface
// sends back becomes one event a message, a message cut short sending nothing.
TEST(AlsaSequencer, EventsAndBytesConvertBothWays)
{
    tavrelia::test::needApplication();
    tavrelia::AlsaSequencerPort port;
    const auto event = [](auto set) {
        snd_seq_event_t e;
        snd_seq_ev_clear(&e);
        set(&e);
        return e;
    };
    const auto simple = [&](snd_seq_event_type_t type) {
        return event([type](snd_seq_event_t* e) { e->type = type; });
    };
    const struct {
        const char* what;
        snd_seq_event_t in;
        QByteArray out;
    } cases[] = {
        {"note on", event([](auto* e) { snd_seq_ev_set_noteon(e, 1, 36, 100); }), bytes({0x91, 36, 100})},
        {"the same again keeps its status", event([](auto* e) { snd_seq_ev_set_noteon(e, 1, 37, 0); }),
         bytes({0x91, 37, 0})},
        {"note off", event([](auto* e) { snd_seq_ev_set_noteoff(e, 15, 36, 64); }), bytes({0x8F, 36, 64})},
        {"controller", event([](auto* e) { snd_seq_ev_set_controller(e, 0, 7, 127); }), bytes({0xB0, 7, 127})},
        {"clock", simple(SND_SEQ_EVENT_CLOCK), bytes({0xF8})},
        {"start", simple(SND_SEQ_EVENT_START), bytes({0xFA})},
        {"continue", simple(SND_SEQ_EVENT_CONTINUE), bytes({0xFB})},
        {"stop", simple(SND_SEQ_EVENT_STOP), bytes({0xFC})},
        {"a subscription is no message", simple(SND_SEQ_EVENT_PORT_SUBSCRIBED), QByteArray()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(port.bytesOf(c.in).toHex(' '), c.out.toHex(' ')) << c.what;

    const QByteArray feedback = bytes({0x90, 36, 127, 0xB0, 8, 64, 0xB0, 40, 1, 0x9F, 1, 0});
    const std::vector<snd_seq_event_t> events = port.eventsOf(feedback);
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[1].type, SND_SEQ_EVENT_CONTROLLER);
    EXPECT_EQ(events[1].data.control.param, 8u);
    EXPECT_EQ(events[1].data.control.value, 64);
    QByteArray back;
    for (const snd_seq_event_t& e : events)
        back += port.bytesOf(e);
    EXPECT_EQ(back.toHex(' '), feedback.toHex(' '));
    EXPECT_TRUE(port.eventsOf(bytes({0xB0, 7})).empty());
    EXPECT_EQ(port.eventsOf(bytes({64, 0xF8})).size(), 1u) << "half a message stays behind";
}

// Without a sequencer nothing opens, the reason is kept and the link claims none: MIDI
// goes on with the raw devices.
TEST(AlsaSequencer, MissingSequencerIsReported)
{
    QTemporaryDir dir;
    tavrelia::AlsaSequencerPort missing(dir.filePath("seq"));
    EXPECT_FALSE(missing.open());
    EXPECT_EQ(missing.error(), "no ALSA sequencer on this machine: " + dir.filePath("seq") + " does not exist");
    EXPECT_FALSE(missing.isOpen());
    EXPECT_TRUE(missing.address().isEmpty());
    missing.send(bytes({0xB0, 1, 2}));

    Surface s("[MIDI map]\nfader/2=cc 1 1\n");
    const tavrelia::AlsaSequencerPort& sequencer = s.midi.sequencer();
    const bool there = QFileInfo::exists(tavrelia::AlsaSequencerPort::kDevice);
    EXPECT_EQ(sequencer.isOpen(), there) << sequencer.error().toStdString();
    EXPECT_EQ(s.midi.devices().contains(sequencer.address()), there);
    if (there)
        return;
    EXPECT_EQ(sequencer.error(), "no ALSA sequencer on this machine: /dev/snd/seq does not exist");
    // Past the check, ALSA's own open fails the same way, and says why.
    tavrelia::AlsaSequencerPort refused(dir.path());
    EXPECT_FALSE(refused.open());
    EXPECT_TRUE(refused.error().startsWith("the ALSA sequencer does not open: ")) << refused.error().toStdString();
    EXPECT_FALSE(refused.isOpen());
}

// Another program on this machine, connected both ways to the port: it gets the state
// when it connects, its controller moves the fader and comes back as feedback, and its
// clock starts the show.
TEST(AlsaSequencer, AnotherProgramPlaysTheDeskAndHearsTheFeedback)
{
    if (!QFileInfo::exists(tavrelia::AlsaSequencerPort::kDevice))
        GTEST_SKIP() << "no ALSA sequencer on this machine: /dev/snd/seq does not exist";
    Surface s("[MIDI map]\nfader/2=cc 1 1\n");
    const tavrelia::AlsaSequencerPort& desk = s.midi.sequencer();
    ASSERT_TRUE(desk.isOpen()) << desk.error().toStdString();
    s.console.live.setClockFollow(true);

    snd_seq_t* other = nullptr;
    ASSERT_GE(snd_seq_open(&other, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK), 0);
    const int port = snd_seq_create_simple_port(other, "test",
                                                SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ |
                                                    SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
                                                SND_SEQ_PORT_TYPE_APPLICATION);
    ASSERT_GE(port, 0);
    ASSERT_GE(snd_seq_connect_to(other, port, desk.client(), desk.port()), 0);
    ASSERT_GE(snd_seq_connect_from(other, port, desk.client(), desk.port()), 0);
    const auto sendOne = [&](auto set) {
        snd_seq_event_t e;
        snd_seq_ev_clear(&e);
        set(&e);
        snd_seq_ev_set_source(&e, port);
        snd_seq_ev_set_subs(&e);
        snd_seq_ev_set_direct(&e);
        ASSERT_GE(snd_seq_event_output_direct(other, &e), 0);
    };
    QByteArray heard;
    const auto hearUntil = [&](auto done) {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < 3000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            snd_seq_event_t* e = nullptr;
            while (snd_seq_event_input(other, &e) >= 0)
                heard += s.midi.sequencer().bytesOf(*e);
        }
        return done();
    };

    // The state at once, as to a surface plugged in.
    EXPECT_TRUE(hearUntil([&] { return heard.contains(bytes({0xB0, 1, 0})); })) << heard.toHex(' ').constData();
    sendOne([](snd_seq_event_t* e) { snd_seq_ev_set_controller(e, 0, 1, 127); });
    EXPECT_TRUE(hearUntil([&] { return s.console.live.fader(2) == 255; }));
    EXPECT_TRUE(hearUntil([&] { return heard.contains(bytes({0xB0, 1, 127})); })) << heard.toHex(' ').constData();
    sendOne([](snd_seq_event_t* e) { e->type = SND_SEQ_EVENT_START; });
    for (int pulse = 0; pulse < 3; ++pulse)
        sendOne([](snd_seq_event_t* e) { e->type = SND_SEQ_EVENT_CLOCK; });
    EXPECT_TRUE(hearUntil([&] { return s.console.live.playing(); }));
    snd_seq_close(other);
}
