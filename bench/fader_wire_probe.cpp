// A fader moved from OSC to the wire: the core with its output thread, its serial
// backend on a pseudo-terminal that the probe decodes and OSC on 127.0.0.1, as a
// tablet drives it. A thread of the probe moves fader 7 of the desk (the stopped
// scene, jumping) at random moments against the 50 ms tick, each time to a new level,
// and waits until the wire carries it. Reports the move to the first frame with the
// level, and the spacing of the frames on the wire.
//   fader_wire_probe [moves] [--tick-only] [--hog]
// --tick-only: [Interface] SendOnChange=off, to compare; --hog: one busy process per
// core beside the probe.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "console.h"
#include "cpu_hog.h"
#include "dmx_wire.h"
#include "osc_peer.h"
#include "probe_figures.h"

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using tavrelia::probe::report;

namespace {

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main(int argc, char** argv)
{
    int moves = 200;
    bool tickOnly = false;
    bool hog = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--tick-only") == 0)
            tickOnly = true;
        else if (std::strcmp(argv[i], "--hog") == 0)
            hog = true;
        else
            moves = std::clamp(std::atoi(argv[i]), 10, 100000);
    }
    std::unique_ptr<tavrelia::probe::CpuHog> hogs;
    if (hog)
        hogs = std::make_unique<tavrelia::probe::CpuHog>();
    QTemporaryDir home;
    for (const char* variable : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"})
        qputenv(variable, home.path().toUtf8());
    tavrelia::wire::Pty dmx;
    tavrelia::wire::PacketReader reader(dmx);
    tavrelia::wire::OscPeer tablet;
    const uint16_t port = tavrelia::wire::OscPeer::freePort();
    QDir().mkpath(home.filePath(QStringLiteral("Tavrelia")));
    QFile conf(home.filePath(QStringLiteral("Tavrelia/Tavrelia.conf")));
    if (!conf.open(QIODevice::WriteOnly))
        return 1;
    conf.write("[Interface]\nBackend=serial\nSerialDevice=" + QByteArray::fromStdString(dmx.slavePath()) +
               "\nSendOnChange=" + (tickOnly ? "off" : "on") + "\n[OSC]\nEnabled=on\nAddress=127.0.0.1\nPort=" +
               QByteArray::number(port) + "\n[Remote]\nPin=4711\n");
    conf.close();

    QCoreApplication app(argc, argv);
    tavrelia::Console console;
    console.live.setMode(tavrelia::OutputEngine::Vykl);
    console.connections.startAll();
    console.startOutput();

    std::vector<double> toWire;
    std::atomic<bool> failed{false};
    std::thread mover([&] {
        std::mt19937 random(std::random_device{}());
        reader.waitFor([](const auto& p) { return p.size() >= 3; }, 10s);
        tablet.send(port, {"/tavrelia/pin", {"4711"}});
        for (int i = 0; i < moves && !failed; ++i) {
            std::this_thread::sleep_for(std::chrono::microseconds(60'000 + random() % 50'000));
            const int level = 1 + i % 200;
            const size_t seen = reader.packets().size();
            const auto movedAt = Clock::now();
            tablet.send(port, {"/tavrelia/fader/7", {level / 255.0f}});
            const bool arrived = reader.waitFor(
                [&](const auto& p) {
                    return std::any_of(p.begin() + long(seen), p.end(), [&](const auto& q) { return q.frame.at(7) == level; });
                },
                2s);
            if (!arrived) {
                failed = true;
                break;
            }
            const auto packets = reader.packets();
            const auto p = std::find_if(packets.begin() + long(seen), packets.end(),
                                        [&](const auto& q) { return q.frame.at(7) == level; });
            toWire.push_back(ms(p->at - movedAt));
            tablet.receive(1ms, 1ms);   // the answers
        }
        QMetaObject::invokeMethod(&app, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    });
    app.exec();
    mover.join();
    console.stopOutput();
    console.connections.stopAll();
    if (failed) {
        std::fprintf(stderr, "a fader move never reached the wire\n");
        return 1;
    }
    const auto packets = reader.packets();
    std::vector<double> spacing;
    for (size_t i = 1; i < packets.size(); ++i)
        spacing.push_back(ms(packets[i].at - packets[i - 1].at));
    std::printf("fader from OSC to the wire, %d moves, send on change %s, output thread %s, %s\n", moves,
                tickOnly ? "off" : "on", console.outputRealTime() ? "real-time" : "normal priority",
                hogs ? (std::to_string(hogs->processes()) + " busy processes beside it").c_str() : "no hog");
    report("fader moved -> frame on the wire", toWire, "target p50 5 ms, p99 30 ms");
    std::vector<double> sorted = spacing;
    std::sort(sorted.begin(), sorted.end());
    std::printf("%-34s %4zu: min %.3f ms, p50 %.3f ms  (never under 23 ms, less a reader's jitter)\n",
                "frames on the wire, spacing", spacing.size(), sorted.empty() ? 0.0 : sorted.front(),
                tavrelia::probe::quantile(spacing, 0.5));
    return 0;
}
