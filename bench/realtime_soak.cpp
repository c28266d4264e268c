// The real program played for an hour (or as long as asked) on a pseudo-terminal:
//   realtime_soak [SECONDS]        default 3600
// Starts `tavrelia --play` on a 256-scene show with both automats running and the
// serial backend pointed at the terminal, reads every packet, and reports how late the packets came against the
// 50 ms grid (p50, p99, max), and the program's resident memory, open file
// descriptors and threads early on and at the end. Not part of the tests: it runs in
// real time.

#include <signal.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "console.h"
#include "dmx_wire.h"
#include "show_soak.h"

using namespace std::chrono;
using tavrelia::wire::Clock;

namespace {

struct Sample {
    long rssKb = 0;
    int fds = 0;
    int threads = 0;
};

Sample sample(qint64 pid)
{
    Sample s;
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                s.rssKb = line.mid(6).trimmed().split(' ').first().toLong();
            if (line.startsWith("Threads:"))
                s.threads = line.mid(8).trimmed().toInt();
        }
    }
    s.fds = static_cast<int>(QDir(QStringLiteral("/proc/%1/fd").arg(pid)).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System).size());
    return s;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(2);
    }
}

// Lateness of each packet against the program's 50 ms grid. The grid's phase is the
// median phase of all packets, so that one early or late packet (the first one, say)
// does not shift the whole measure.
std::vector<double> latenessMs(const std::vector<Clock::time_point>& arrivals)
{
    const auto onGrid = [](double ms) { return ms - 50.0 * std::round(ms / 50.0); };
    std::vector<double> offsets;
    offsets.reserve(arrivals.size());
    for (const Clock::time_point at : arrivals)
        offsets.push_back(onGrid(duration<double, std::milli>(at - arrivals.front()).count()));
    std::vector<double> sorted = offsets;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    const double phase = sorted[sorted.size() / 2];
    for (double& offset : offsets)
        offset = onGrid(offset - phase);
    std::sort(offsets.begin(), offsets.end());
    return offsets;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 3600;
    QTemporaryDir root;
    const auto dir = [&](const char* name) { return root.filePath(QString::fromLatin1(name)); };

    // The soak's show: every scene different, rates, both automats.
    tavrelia::Console console;
    tavrelia::soak::ShowSoak show(console);
    const QString showFile = dir("show.tvl");
    writeFile(showFile, QByteArray(reinterpret_cast<const char*>(console.image.data()), tavrelia::ShowImage::kImageSize));

    tavrelia::wire::Pty pty;
    tavrelia::wire::DevicePath device(dir("dmx").toStdString());
    device.pointAt(pty);
    tavrelia::wire::PacketReader reader(pty);
    writeFile(dir("config") + "/Tavrelia/Tavrelia.conf",
              "[Interface]\nBackend=serial\nSerialDevice=" + QFile::encodeName(dir("dmx")) + "\n");

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", dir("home"));
    env.insert("XDG_DATA_HOME", dir("data"));
    env.insert("XDG_CONFIG_HOME", dir("config"));
    program.setProcessEnvironment(env);
    program.setStandardOutputFile(dir("output.txt"));
    program.setStandardErrorFile(dir("output.txt"), QIODevice::Append);
    program.start(QStringLiteral(TAVRELIA_BINARY),
                  {QStringLiteral("--play"), showFile, QStringLiteral("--automat1"), QStringLiteral("alone"),
                   QStringLiteral("--automat2"), QStringLiteral("with-show")});
    if (!program.waitForStarted(10000)) {
        std::fprintf(stderr, "the program did not start\n");
        return 2;
    }

    std::vector<Clock::time_point> arrivals;
    arrivals.reserve(static_cast<size_t>(seconds) * 20 + 100);
    Sample early;
    const auto start = Clock::now();
    for (int second = 1; second <= seconds && program.state() == QProcess::Running; ++second) {
        std::this_thread::sleep_until(start + std::chrono::seconds(second));
        for (const tavrelia::wire::Packet& packet : reader.take())
            arrivals.push_back(packet.at);
        if (second == 10)
            early = sample(program.processId());
    }
    const Sample late = sample(program.processId());
    const bool ran = program.state() == QProcess::Running;
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    program.waitForFinished(10000);

    std::printf("%d s of play, %zu packets, %zu bytes of garbage%s\n", seconds, arrivals.size(),
                reader.garbage(), ran ? "" : "; THE PROGRAM ENDED EARLY");
    if (arrivals.size() > 1) {
        const auto span = duration<double, std::milli>(arrivals.back() - arrivals.front()).count();
        std::printf("packets missing between the first and the last: %lld\n",
                    std::llround(span / 50.0) + 1 - static_cast<long long>(arrivals.size()));
        const std::vector<double> late50 = latenessMs(arrivals);
        const auto at = [&](double q) { return late50[static_cast<size_t>(q * (late50.size() - 1))]; };
        std::printf("packet lateness against the 50 ms grid: p50 %.2f ms, p99 %.2f ms, max %.2f ms"
                    " (earliest %.2f ms)\n",
                    at(0.5), at(0.99), late50.back(), late50.front());
    }
    std::printf("resident memory %ld kB after 10 s, %ld kB at the end (%+ld kB)\n", early.rssKb,
                late.rssKb, late.rssKb - early.rssKb);
    std::printf("open file descriptors %d after 10 s, %d at the end; threads %d and %d\n",
                early.fds, late.fds, early.threads, late.threads);
    return ran ? 0 : 1;
}
