// A MIDI clock driving the real window's scenes: 120 BPM (a pulse every 20.833 ms)
// written to a pseudo-terminal that stands in for the raw MIDI device, from a thread
// of its own on absolute deadlines of the steady clock; two beats a scene. The clock
// runs in takes (Start, the pulses of a few scenes, Stop), each begun at a random
// moment, so the beats fall at a new place between two output ticks in each take.
// The window's output goes to a second terminal that a reader decodes. Scene s has
// level s on channel 1 and scenes jump, so each change is seen in the frame that
// carries it. Reports, per scene change:
//   - pulse read to scene change: from the moment the window read the beat's pulse
//     (Controls::lastPulse) to the sequencer's change (Sequencer::sceneChangedAt);
//   - pulse written to read: the terminal and the MIDI reading thread;
//   - pulse written to the first frame with the new scene on the wire (sent on
//     change: the scene goes out with its beat, not at the next tick);
//   - the scene periods, in the program and on the wire.
//   QT_QPA_PLATFORM=offscreen window_midi_clock_probe [takes] [changes a take] [--normal-priority] [--hog]
// --hog: one busy process per core beside the probe, so that both cores are always
// wanted.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "base_form.h"
#include "console.h"
#include "cpu_hog.h"
#include "midi/midi_link.h"
#include "dmx_wire.h"
#include "probe_figures.h"
#include "output/serial_driver.h"

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using tavrelia::probe::quantile;
using tavrelia::probe::report;

namespace {

constexpr int kPulsesPerScene = 48;   // two beats of 24
constexpr auto kPulse = std::chrono::nanoseconds(500'000'000) / 24;

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// The periods within each take.
void periods(const char* name, const std::vector<std::vector<Clock::time_point>>& takes)
{
    double worst = 0;
    double sum = 0;
    size_t count = 0;
    for (const auto& at : takes) {
        for (size_t i = 1; i < at.size(); ++i) {
            const double period = ms(at[i] - at[i - 1]);
            worst = std::max(worst, std::abs(period - 1000.0));
            sum += period;
            ++count;
        }
    }
    std::printf("%-34s %4zu: mean %.2f ms, largest deviation %.2f ms  (target mean 1000 +- 1 ms)\n", name, count,
                sum / double(std::max<size_t>(count, 1)), worst);
}

std::string loadAverage()
{
    char line[64] = "?";
    if (std::FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (!std::fgets(line, sizeof line, f))
            line[0] = '\0';
        std::fclose(f);
    }
    return std::string(line, strnlen(line, sizeof line)).substr(0, 14);
}

// The interface and the drum machine are outside the computer at a show: the threads
// that stand in for them here run at real-time priority (below the output thread's)
// when allowed, so that the machine's load falls on the program alone.
bool standInPriority(bool on)
{
    sched_param param{};
    param.sched_priority = on ? 5 : 0;
    return pthread_setschedparam(pthread_self(), on ? SCHED_FIFO : SCHED_OTHER, &param) == 0;
}

struct Change {
    int take;
    int scene;                     // 1..
    Clock::time_point pulseRead;   // the beat's pulse, as the window read it
    Clock::time_point changed;     // the sequencer's scene change
};

}  // namespace

int main(int argc, char** argv)
{
    int takes = 6;
    int scenes = 5;   // changes a take
    bool realTime = true;
    bool hog = false;
    std::vector<int> numbers;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--normal-priority") == 0)
            realTime = false;
        else if (std::strcmp(argv[i], "--hog") == 0)
            hog = true;
        else
            numbers.push_back(std::atoi(argv[i]));
    }
    if (!numbers.empty())
        takes = std::clamp(numbers[0], 1, 100);
    if (numbers.size() > 1)
        scenes = std::clamp(numbers[1], 2, 200);
    std::unique_ptr<tavrelia::probe::CpuHog> hogs;
    if (hog)
        hogs = std::make_unique<tavrelia::probe::CpuHog>();
    // A settings file of its own, naming the MIDI terminal: the user's stays as it is.
    QTemporaryDir home;
    for (const char* variable : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"})
        qputenv(variable, home.path().toUtf8());
    tavrelia::wire::Pty midi;
    QDir().mkpath(home.filePath(QStringLiteral("Tavrelia")));
    QFile conf(home.filePath(QStringLiteral("Tavrelia/Tavrelia.conf")));
    if (!conf.open(QIODevice::WriteOnly))
        return 1;
    conf.write("[MIDI]\nDevice=" + QByteArray::fromStdString(midi.slavePath()) + "\n");
    conf.close();

    QApplication app(argc, argv);
    tavrelia::Console console;
    tavrelia::TBaseForm form(console);
    form.ClearAll();
    {
        auto guard = console.lock();
        tavrelia::ShowImage& image = console.image;
        image[tavrelia::ShowImage::kLastScene] = uint8_t(scenes);
        for (int s = 0; s <= scenes; ++s)
            image.DataWrite(uint8_t(s), 1, uint8_t(s + 1));   // the scene's number
    }
    form.ReturnPageControlAll();
    form.show();
    console.live.setMode(tavrelia::OutputEngine::Vykl);

    tavrelia::wire::Pty dmx;
    const bool standInsRealTime = standInPriority(true);   // the reader's thread takes it from here
    tavrelia::wire::PacketReader reader(dmx);
    standInPriority(false);
    console.usbLink.setDriver(std::make_unique<tavrelia::SerialDriver>(dmx.slavePath()));
    console.usbLink.InitUsbDevise();
    std::vector<double> lateUs(size_t(takes) * size_t(scenes + 1) * 20 + 1000);
    std::atomic<size_t> ticks{0};
    console.startOutput(
        [&](Clock::time_point deadline) {
            const size_t n = ticks.load(std::memory_order_relaxed);
            if (n < lateUs.size()) {
                lateUs[n] = std::chrono::duration<double, std::micro>(Clock::now() - deadline).count();
                ticks.store(n + 1, std::memory_order_release);
            }
        },
        realTime);

    tavrelia::MidiLink midiLink(console.named, console.live, console.store);
    midiLink.start(QString::fromStdString(midi.slavePath()));
    if (midiLink.devices().size() != 1) {
        console.stopOutput();   // its probe writes into this frame's vectors
        std::fprintf(stderr, "the MIDI terminal did not open\n");
        return 1;
    }
    console.live.setClockFollow(true);
    console.live.setBeatsPerScene(2);
    std::atomic<int> take{-1};
    std::vector<Change> changes;
    QObject::connect(&console.sequencer, &tavrelia::Sequencer::advanced, [&] {
        changes.push_back({take, console.live.scene(), console.live.lastPulse(), console.sequencer.sceneChangedAt()});
    });

    // Each take: Start, then the pulses; scene s + 1 falls on pulse 48 s. Stop, and a
    // pause, before the next.
    const int pulses = kPulsesPerScene * scenes + 1;
    const auto takeCount = static_cast<size_t>(takes);
    std::vector<std::vector<Clock::time_point>> written(takeCount, std::vector<Clock::time_point>(static_cast<size_t>(pulses)));
    std::vector<double> sentLate;   // the probe's own clock against its deadlines
    sentLate.reserve(takeCount * static_cast<size_t>(pulses));
    std::atomic<bool> done{false};
    std::thread clock([&] {
        if (standInsRealTime)
            standInPriority(true);
        std::mt19937 random(std::random_device{}());
        auto send = [&](uint8_t byte) {
            if (::write(midi.master(), &byte, 1) != 1)
                std::abort();
        };
        for (int t = 0; t < takes; ++t) {
            take = t;
            send(0xFA);
            const auto first = Clock::now() + 100ms + std::chrono::microseconds(random() % 50'000);
            for (int i = 0; i < pulses; ++i) {
                const auto deadline = first + kPulse * i;
                std::this_thread::sleep_until(deadline);
                send(0xF8);
                written[size_t(t)][size_t(i)] = Clock::now();
                sentLate.push_back(ms(written[size_t(t)][size_t(i)] - deadline));
            }
            std::this_thread::sleep_for(100ms);
            send(0xFC);
            std::this_thread::sleep_for(200ms);
        }
        done = true;
    });
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!done)
            return;
        watch.stop();
        QTimer::singleShot(200, [] { QCoreApplication::exit(0); });   // not quit(): it would ask to save
    });
    watch.start(50);
    app.exec();
    clock.join();
    console.stopOutput();

    // Each scene after a take's first: its pulse read to its change in the program,
    // its pulse written to it on the wire.
    const auto packets = reader.packets();
    std::vector<double> toChange, toRead, toWire, changeToWire;
    std::vector<std::vector<Clock::time_point>> changedAt(takeCount), wireAt(takeCount);
    int staleFrames = 0;   // frames with the old scene that arrived after the change was made
    for (const Change& change : changes) {
        if (change.scene < 2 || change.take < 0)
            continue;
        const Clock::time_point pulseWritten = written[size_t(change.take)][size_t(kPulsesPerScene * (change.scene - 1))];
        toChange.push_back(ms(change.changed - change.pulseRead));
        toRead.push_back(ms(change.pulseRead - pulseWritten));
        changedAt[size_t(change.take)].push_back(change.changed);
        const auto p = std::find_if(packets.begin(), packets.end(), [&](const auto& q) {
            return q.at > pulseWritten && q.frame.at(1) == change.scene;
        });
        if (p == packets.end()) {
            std::fprintf(stderr, "take %d: scene %d never reached the wire\n", change.take + 1, change.scene);
            return 1;
        }
        toWire.push_back(ms(p->at - pulseWritten));
        changeToWire.push_back(ms(p->at - change.changed));
        wireAt[size_t(change.take)].push_back(p->at);
        staleFrames = std::max<int>(staleFrames, int(std::count_if(packets.begin(), p, [&](const auto& q) {
                                        return q.at > change.changed && q.frame.at(1) == change.scene - 1;
                                    })));
    }
    std::vector<double> late(lateUs.begin(), lateUs.begin() + long(ticks.load()));
    std::printf("%s output thread, MIDI clock 120 BPM, 2 beats a scene, %d takes of %d scene changes, "
                "load average %s\n",
                console.outputRealTime() ? "real-time" : "normal-priority", takes, scenes, loadAverage().c_str());
    std::printf("the probe's clock and wire reader at %s priority; %zu busy processes beside it\n",
                standInsRealTime ? "real-time" : "normal", hogs ? hogs->processes() : size_t{0});
    report("pulse sent after its deadline", sentLate, "the probe's clock");
    report("pulse read -> scene change", toChange, "target p99 5 ms");
    report("pulse written -> read", toRead, "the terminal and the reading thread");
    report("scene change -> frame on the wire", changeToWire, "sent on change: at most a frame's 23 ms");
    report("pulse written -> frame on the wire", toWire, "target p99 30 ms");
    std::printf("%-34s %4d  (at most the one in flight: 1)\n", "old-scene frames after a change", staleFrames);
    periods("scene periods in the program", changedAt);
    periods("scene periods on the wire", wireAt);
    std::printf("%-34s %4zu: p50 %.0f us, p99 %.0f us, max %.0f us\n", "tick lateness", late.size(),
                quantile(late, 0.5), quantile(late, 0.99), late.empty() ? 0.0 : *std::max_element(late.begin(), late.end()));
    return 0;
}
