// MIDI timecode chased by the core as the window and the player run it: quarter
// frames at 25 frames a second written to a pseudo-terminal that stands in for the
// raw MIDI device, from a thread of its own on absolute deadlines of the steady clock;
// the timecode list has a `go` every 7 frames (so the rows fall at a new place
// between two output ticks each time), scenes jump, and the output goes to a second
// terminal that a reader decodes. Reports, per row:
//   - sender at the row to the scene change: from the write of the quarter frame that
//     reaches the row's time to the sequencer's change (Sequencer::sceneChangedAt);
//   - the same to the first frame with the new scene on the wire.
//   timecode_chase_probe [seconds]
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <pthread.h>
#include <sched.h>

#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "console.h"
#include "dmx_wire.h"
#include "midi/midi_link.h"
#include "output/serial_driver.h"
#include "probe_figures.h"

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using tavrelia::probe::report;

namespace {

constexpr int kRowEvery = 7;   // frames
constexpr double kFps = 25;

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// The sender and the wire are outside the computer at a show: real-time priority for
// the threads that stand in for them, when allowed.
void standInPriority()
{
    sched_param param{};
    param.sched_priority = 5;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
}

}  // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::clamp(std::atoi(argv[1]), 5, 600) : 30;
    const int frames = int(seconds * kFps);
    QTemporaryDir home;
    for (const char* variable : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"})
        qputenv(variable, home.path().toUtf8());
    QCoreApplication app(argc, argv);
    tavrelia::Console console;
    {
        auto guard = console.lock();
        console.image[tavrelia::ShowImage::kLastScene] = 255;
        for (int s = 0; s < 256; ++s)
            console.image.DataWrite(uint8_t(s), 1, uint8_t(s));
    }
    // A row every kRowEvery frames: go 2, 3, ... (scene s has level s - 1).
    QString list;
    std::vector<int> rowFrames;
    for (int f = kRowEvery, scene = 2; f < frames - 10 && scene <= 256; f += kRowEvery, ++scene) {
        list += tavrelia::TimecodeTime::fromFrames(f, tavrelia::TimecodeRate::Fps25).text() +
                QStringLiteral(" go %1\n").arg(scene);
        rowFrames.push_back(f);
    }
    const QString listPath = home.filePath(QStringLiteral("probe.tc"));
    QFile file(listPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(list.toUtf8()) < 0)
        return 1;
    file.close();
    console.timecode.loadList(listPath);
    console.live.setMode(tavrelia::OutputEngine::Vykl);

    tavrelia::wire::Pty dmx;
    tavrelia::wire::Pty midi;
    tavrelia::wire::PacketReader reader(dmx);
    console.usbLink.setDriver(std::make_unique<tavrelia::SerialDriver>(dmx.slavePath()));
    console.usbLink.InitUsbDevise();
    console.startOutput();
    tavrelia::MidiLink link(console.named, console.live, console.store);
    link.start(QString::fromStdString(midi.slavePath()));
    console.timecode.setSource(QStringLiteral("mtc"));
    console.live.setTimecodeChase(true);

    std::vector<Clock::time_point> changed(rowFrames.size() + 2);
    QObject::connect(&console.live, &tavrelia::Controls::sceneChanged, [&](int scene, int) {
        if (scene >= 2 && size_t(scene - 2) < rowFrames.size())
            changed[size_t(scene - 2)] = console.sequencer.sceneChangedAt();
    });
    // The interface takes frames before the timecode starts.
    const auto opening = Clock::now();
    while (reader.packets().size() < 3 && Clock::now() - opening < 5s)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (reader.packets().size() < 3) {
        std::fprintf(stderr, "no frames on the interface's terminal\n");
        return 1;
    }
    // Quarter frames from 00:00:00:00 after a full frame; the write time of each.
    std::vector<Clock::time_point> written(size_t(frames) * 4);
    std::thread sender([&] {
        standInPriority();
        const uint8_t full[] = {0xF0, 0x7F, 0x7F, 0x01, 0x01, 1 << 5, 0, 0, 0, 0xF7};
        if (::write(midi.master(), full, sizeof full) != ssize_t(sizeof full))
            std::abort();
        const auto start = Clock::now() + 200ms;
        for (int q = 0; q < frames * 4; ++q) {
            const tavrelia::TimecodeTime group = tavrelia::TimecodeTime::fromFrames(q / 8 * 2, tavrelia::TimecodeRate::Fps25);
            const int fields[] = {group.frames, group.seconds, group.minutes, group.hours | 1 << 5};
            const int piece = q % 8;
            const int field = fields[piece / 2];
            const uint8_t bytes[] = {0xF1, uint8_t(piece << 4 | ((piece % 2 ? field >> 4 : field) & 0x0F))};
            std::this_thread::sleep_until(start + std::chrono::nanoseconds(int64_t(q * 1e9 / kFps / 4)));
            if (::write(midi.master(), bytes, 2) != 2)
                std::abort();
            written[size_t(q)] = Clock::now();
        }
    });
    QTimer::singleShot(std::chrono::milliseconds(seconds * 1000 + 800), &app, &QCoreApplication::quit);
    app.exec();
    sender.join();
    console.stopOutput();

    std::vector<double> toChange;
    std::vector<double> toWire;
    const auto packets = reader.packets();
    for (size_t i = 0; i < rowFrames.size(); ++i) {
        // The row's time is reached by the quarter frame at its frame's first quarter.
        const Clock::time_point reached = written[size_t(rowFrames[i]) * 4];
        if (changed[i] == Clock::time_point{})
            continue;
        toChange.push_back(ms(changed[i] - reached));
        for (const auto& p : packets) {
            if (p.at >= changed[i] && p.frame.at(1) == i + 1) {
                toWire.push_back(ms(p.at - reached));
                break;
            }
        }
    }
    std::printf("%zu rows, %zu chased\n", rowFrames.size(), toChange.size());
    report("row reached to scene change", toChange, "target p99 30 ms");
    report("row reached to the wire", toWire, "one tick and the frame, about 51 ms");
    return toChange.size() == rowFrames.size() ? 0 : 1;
}
