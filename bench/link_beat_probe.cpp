// An Ableton Link session driving the desk's scenes: a peer of the probe's own sets the
// tempo, the desk (the core with its output thread and the serial backend on a
// pseudo-terminal the probe decodes) follows the session's beat, a scene a beat (at
// 123 BPM by default, so that the beats fall at every place between two ticks). Both
// run in a network namespace of the probe's own with only the loopback up. Reports,
// per scene change, against the beat's time as the peer's Link timeline gives it:
//   - beat to the sequencer's scene change (the scheduling timer);
//   - beat to the first frame with the new scene on the wire.
//   link_beat_probe [scene changes] [bpm]
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <ableton/Link.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "console.h"
#include "dmx_wire.h"
#include "numbered_scenes.h"
#include "probe_figures.h"
#include "own_network.h"

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using tavrelia::probe::report;

namespace {

// The peer's beat nearest to a moment on steady_clock, as a moment on steady_clock.
Clock::time_point nearestBeat(const ableton::Link& peer, Clock::time_point at)
{
    const auto before = Clock::now();
    const std::chrono::microseconds link = peer.clock().micros();
    const auto mid = before + (Clock::now() - before) / 2;
    const auto offset = link - std::chrono::duration_cast<std::chrono::microseconds>(mid.time_since_epoch());
    const auto state = peer.captureAppSessionState();
    const double beat = std::round(state.beatAtTime(std::chrono::duration_cast<std::chrono::microseconds>(at.time_since_epoch()) + offset, 1));
    return Clock::time_point(std::chrono::duration_cast<Clock::duration>(state.timeAtBeat(beat, 1) - offset));
}

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main(int argc, char** argv)
{
    std::string why;
    if (!tavrelia::wire::enterOwnNetwork(argc, argv, &why)) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return 1;
    }
    const int changes = argc > 1 ? std::clamp(std::atoi(argv[1]), 10, 10000) : 120;
    const double bpm = argc > 2 ? std::clamp(std::atof(argv[2]), 40.0, 240.0) : 123.0;
    QTemporaryDir home;
    for (const char* variable : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"})
        qputenv(variable, home.path().toUtf8());
    QCoreApplication app(argc, argv);

    ableton::Link peer(bpm);
    peer.enable(true);

    NumberedScenes desk;
    tavrelia::Console& console = desk.console;
    tavrelia::wire::PacketReader& reader = desk.reader;
    console.linkSession.start();
    console.live.setBeatSource(QStringLiteral("link"));
    console.live.setClockFollow(true);

    std::vector<std::pair<int, Clock::time_point>> changed;   // scene, when the sequencer made it current
    Clock::time_point joined{};
    QObject::connect(&console.sequencer, &tavrelia::Sequencer::advanced, [&] {
        // From two seconds after the peers met: their timelines are one by then.
        if (console.linkSession.peers() == 0) {
            joined = {};
            return;
        }
        if (joined == Clock::time_point{})
            joined = Clock::now();
        if (Clock::now() - joined < 2s || int(changed.size()) >= changes)
            return;
        changed.emplace_back(console.live.scene(), console.sequencer.sceneChangedAt());
        if (int(changed.size()) == changes)
            QTimer::singleShot(300, [] { QCoreApplication::exit(0); });
    });
    app.exec();
    console.stopOutput();

    const auto packets = reader.packets();
    std::vector<double> toChange, toWire;
    for (const auto& [scene, at] : changed) {
        const Clock::time_point beat = nearestBeat(peer, at);
        toChange.push_back(ms(at - beat));
        const auto p = std::find_if(packets.begin(), packets.end(),
                                    [&](const auto& q) { return q.at > beat - 100ms && q.frame.at(1) == scene; });
        if (p != packets.end())
            toWire.push_back(ms(p->at - beat));
    }
    std::printf("Link at %.1f BPM, a scene a beat, %zu changes, peers %d, output thread %s\n", bpm, changed.size(),
                console.linkSession.peers(), console.outputRealTime() ? "real-time" : "normal priority");
    report("beat to scene change", toChange, "the schedule");
    report("beat to wire", toWire, "target p99 15 ms with send on change");
    return toWire.size() == changed.size() ? 0 : 1;
}
