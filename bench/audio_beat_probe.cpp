// The beat heard on a sound input driving the desk's scenes, and what the tracker costs.
//   - The tracker's CPU: a drum track of `seconds` fed to it as fast as it takes it, its
//     thread's CPU time against the track's length (a share of one core).
//   - Real time: the same track played into a PulseAudio null sink of the probe's own;
//     the desk (the core with its output thread and the serial backend on a
//     pseudo-terminal the probe decodes) records the sink's monitor through ALSA and
//     follows its beat, a scene a beat. Against the track's true beats (from the moment
//     its first sample reached the monitor), from 8 s in: the beat to the sequencer's
//     scene change, and the beat to the first frame on the wire that carries it.
//   audio_beat_probe [seconds] [bpm]
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "audio/beat_tracker.h"
#include "console.h"
#include "dmx_wire.h"
#include "numbered_scenes.h"
#include "drum_track.h"
#include "probe_figures.h"
#include "sound_server.h"

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using tavrelia::probe::report;

namespace {

double threadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double nearestMs(const std::vector<double>& beats, double at)
{
    const double beat = *std::min_element(beats.begin(), beats.end(),
                                          [at](double a, double b) { return std::abs(a - at) < std::abs(b - at); });
    return 1000 * (at - beat);
}

}  // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::clamp(std::atof(argv[1]), 20.0, 600.0) : 60;
    const double bpm = argc > 2 ? std::clamp(std::atof(argv[2]), 70.0, 180.0) : 123;
    const tavrelia::bench::DrumTrack track{.bpm = bpm, .seconds = seconds, .rate = 48000, .channels = 2};
    const std::vector<float> samples = track.samples();
    const std::vector<double> beats = track.beats();

    {
        tavrelia::BeatTracker tracker(track.rate);
        const size_t chunk = size_t(track.rate) / 100;
        const double start = threadSeconds();
        for (size_t at = 0; at + chunk <= samples.size() / 2; at += chunk)
            tracker.feed(samples.data() + 2 * at, chunk, 2);
        const double cpu = threadSeconds() - start;
        std::printf("tracker: %.0f s of 48 kHz stereo at %.0f BPM in %.3f s of CPU: %.2f %% of a core (target 3 %%), "
                    "tempo found %.2f BPM\n",
                    seconds, bpm, cpu, 100 * cpu / seconds, tracker.grid().bpm());
    }

    QTemporaryDir home;
    for (const char* variable : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"})
        qputenv(variable, home.path().toUtf8());
    QCoreApplication app(argc, argv);
    tavrelia::wire::SoundServer sound(home.filePath("sound"), track.rate, track.channels);
    if (!sound.running()) {
        std::fprintf(stderr, "no sound server:\n%s\n", qPrintable(sound.log()));
        return 1;
    }
    qputenv("PULSE_SERVER", sound.address().toUtf8());

    NumberedScenes desk;
    tavrelia::Console& console = desk.console;
    tavrelia::wire::PacketReader& reader = desk.reader;
    console.audioInput.start(QStringLiteral("default"));
    console.live.setBeatSource(QStringLiteral("audio"));
    console.live.setClockFollow(true);

    std::vector<std::pair<int, Clock::time_point>> changed;   // scene, when the sequencer made it current
    QObject::connect(&console.sequencer, &tavrelia::Sequencer::advanced,
                     [&] { changed.emplace_back(console.live.scene(), console.sequencer.sceneChangedAt()); });
    QTimer::singleShot(1000, [&] {
        if (!sound.play(samples))
            QCoreApplication::exit(1);
    });
    QTimer::singleShot(int(seconds * 1000) + 2500, [] { QCoreApplication::exit(0); });
    const int result = app.exec();
    console.stopOutput();
    const auto heard = sound.heardFrom();
    if (result != 0 || !heard) {
        std::fprintf(stderr, "the track was not played:\n%s\n", qPrintable(sound.log()));
        return 1;
    }

    const auto packets = reader.packets();
    const auto trackSeconds = [&](Clock::time_point at) { return std::chrono::duration<double>(at - *heard).count(); };
    std::vector<double> toChange, toWire;
    int onBeat = 0;
    for (const auto& [scene, at] : changed) {
        const double t = trackSeconds(at);
        if (t < 8 || t >= seconds)
            continue;
        toChange.push_back(nearestMs(beats, t));
        const auto p = std::find_if(packets.begin(), packets.end(),
                                    [&](const auto& q) { return q.at >= at && q.frame.at(1) == scene; });
        if (p == packets.end())
            continue;
        toWire.push_back(nearestMs(beats, trackSeconds(p->at)));
        onBeat += std::abs(toWire.back()) <= 25;
    }
    const auto expected = std::count_if(beats.begin(), beats.end(), [&](double b) { return b >= 8 && b < seconds; });
    std::printf("sound input %s, %d Hz, %d channel(s); %zu scene changes from 8 s for %td beats, output thread %s\n",
                qPrintable(console.audioInput.device()), console.audioInput.rate(), console.audioInput.channels(),
                toChange.size(), expected, console.outputRealTime() ? "real-time" : "normal priority");
    for (auto* list : {&toChange, &toWire})
        std::transform(list->begin(), list->end(), list->begin(), [](double ms) { return std::abs(ms); });
    report("beat to scene change", toChange, "the prediction and its timer");
    report("beat to wire", toWire, "target: 90 % within 25 ms");
    std::printf("on the wire within 25 ms of the beat: %.1f %%\n", toWire.empty() ? 0.0 : 100.0 * onBeat / toWire.size());
    return toChange.empty() ? 1 : 0;
}
