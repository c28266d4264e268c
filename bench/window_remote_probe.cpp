// The phone remote beside the real window: how long a press on a page takes to reach
// the wire, and whether twenty connected pages change how late the output ticks start
// or the show's beat. The window plays a four-scene show at tempo 10 (a scene every
// 100 ms, every strip's level changing at each, so every page is sent the desk ten
// times a second); its output goes to a pseudo-terminal that a reader decodes. The
// pages are WebSocket clients on a thread of their own, signed in.
//   QT_QPA_PLATFORM=offscreen window_remote_probe [seconds per phase] [presses]
#include <QApplication>
#include <QThread>
#include <QTimer>
#include <QWebSocket>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <random>
#include <vector>

#include "base_form.h"
#include "console.h"
#include "dmx_wire.h"
#include "output/serial_driver.h"
#include "remote/remote_server.h"

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

constexpr int kPages = 20;
constexpr int kPictureChannel = 120;   // beyond the desk's changing strips
constexpr int kPictureLevel = 99;
constexpr int kScenePeriodMs = 100;

double quantile(std::vector<double> values, double q)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[static_cast<size_t>(q * double(values.size() - 1))];
}

void spin(std::chrono::milliseconds time)
{
    const auto end = Clock::now() + time;
    while (Clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The pages, on their own thread: they read what they are sent, and the first one
// presses.
struct Pages {
    QThread thread;
    QObject home;
    std::vector<std::unique_ptr<QWebSocket>> sockets;
    std::atomic<long> received{0};
    std::atomic<int> open{0};

    Pages() { home.moveToThread(&thread); thread.start(); }
    ~Pages()
    {
        run([this] { sockets.clear(); });
        thread.quit();
        thread.wait();
    }
    // Runs on the pages' thread and waits for it.
    void run(const std::function<void()>& work)
    {
        QMetaObject::invokeMethod(&home, work, Qt::BlockingQueuedConnection);
    }
    void connect(const QUrl& url, const QByteArray& cookie, int count)
    {
        run([=, this] {
            for (int i = 0; i < count; ++i) {
                auto socket = std::make_unique<QWebSocket>();
                QObject::connect(socket.get(), &QWebSocket::textMessageReceived, [this] { ++received; });
                QObject::connect(socket.get(), &QWebSocket::connected, [this] { ++open; });
                QNetworkRequest request(url);
                request.setRawHeader("Cookie", cookie);
                socket->open(request);
                sockets.push_back(std::move(socket));
            }
        });
    }
    // Sends from the first page; the time it went.
    Clock::time_point press(int value)
    {
        Clock::time_point sent;
        run([&] {
            sent = Clock::now();
            sockets.front()->sendTextMessage(
                QStringLiteral(R"({"control": "picture/5", "value": %1})").arg(value));
            sockets.front()->flush();
        });
        return sent;
    }
};

struct Phase {
    std::vector<double> lateUs;
    std::vector<double> periodsMs;
};

}  // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::max(2, std::atoi(argv[1])) : 20;
    const int presses = argc > 2 ? std::max(10, std::atoi(argv[2])) : 200;
    QApplication app(argc, argv);
    tavrelia::Console console;
    tavrelia::TBaseForm form(console);
    form.ClearAll();
    {
        auto guard = console.lock();
        tavrelia::ShowImage& image = console.image;
        image[tavrelia::ShowImage::kLastScene] = 3;
        image[tavrelia::ShowImage::kSceneTempo] = 10;
        for (int s = 0; s < 4; ++s) {
            for (int channel = 1; channel <= 27; ++channel)
                image.DataWrite(s, channel, (s * 60 + channel) % 200);
        }
        image[tavrelia::ShowImage::pictureFlagAddress(4, kPictureChannel)] = 1;
        image[tavrelia::ShowImage::pictureLevelAddress(4, kPictureChannel)] = kPictureLevel;
    }
    form.ReturnPageControlAll();
    form.show();

    tavrelia::wire::Pty pty;
    tavrelia::wire::PacketReader reader(pty);
    console.usbLink.setDriver(std::make_unique<tavrelia::SerialDriver>(pty.slavePath()));
    console.usbLink.InitUsbDevise();

    // Lateness of every tick, in a buffer the output thread never grows.
    std::vector<double> lateUs(size_t(seconds) * 2 * 20 + 4000);
    std::atomic<size_t> ticks{0};
    console.startOutput([&](Clock::time_point deadline) {
        const size_t n = ticks.load(std::memory_order_relaxed);
        if (n < lateUs.size()) {
            lateUs[n] = std::chrono::duration<double, std::micro>(Clock::now() - deadline).count();
            ticks.store(n + 1, std::memory_order_release);
        }
    });
    std::vector<Clock::time_point> advances;
    QObject::connect(&console.sequencer, &tavrelia::Sequencer::advanced, [&] { advances.push_back(Clock::now()); });

    tavrelia::RemoteSettings settings;
    settings.address = QStringLiteral("127.0.0.1");
    settings.port = 0;   // any free one
    // Not written: the user's settings stay as they are.
    console.store.setOverride(QStringLiteral("Remote"), QStringLiteral("Pin"), QStringLiteral("2468"));
    settings.sessionKey = QByteArray(32, 'k');
    tavrelia::RemoteServer server(console.named, console.pins);
    QString error;
    if (!server.start(settings, &error)) {
        std::fprintf(stderr, "remote: %s\n", qPrintable(error));
        return 1;
    }
    const QUrl live(QStringLiteral("ws://127.0.0.1:%1/live").arg(server.port()));
    const QByteArray cookie = tavrelia::RemoteServer::kCookieName + '=' + settings.sessionToken(console.pins.pin());

    console.sequencer.ModePlay();
    spin(2s);
    auto measure = [&] {
        const size_t firstTick = ticks.load();
        const size_t firstAdvance = advances.size();
        spin(std::chrono::seconds(seconds));
        Phase phase;
        phase.lateUs.assign(lateUs.begin() + long(firstTick), lateUs.begin() + long(ticks.load()));
        for (size_t i = firstAdvance + 1; i < advances.size(); ++i)
            phase.periodsMs.push_back(std::chrono::duration<double, std::milli>(advances[i] - advances[i - 1]).count());
        return phase;
    };
    const Phase alone = measure();

    Pages pages;
    pages.connect(live, cookie, kPages);
    spin(1s);
    if (pages.open != kPages || server.clientCount() != kPages) {
        std::fprintf(stderr, "only %d pages connected\n", int(pages.open));
        return 1;
    }
    const long before = pages.received;
    const Phase watched = measure();
    const long pushed = pages.received - before;

    // Presses at random moments against the tick, each until the wire shows it.
    std::mt19937 random(7);
    std::vector<double> pressMs;
    for (int i = 0; i < presses; ++i) {
        const int value = i % 2 == 0 ? 1 : 0;
        const size_t from = reader.packets().size();
        const Clock::time_point sent = pages.press(value);
        const int wanted = value ? kPictureLevel : 0;
        Clock::time_point arrived{};
        const auto deadline = Clock::now() + 2s;
        while (arrived == Clock::time_point{} && Clock::now() < deadline) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            const auto packets = reader.packets();
            for (size_t p = from; p < packets.size(); ++p) {
                if (packets[p].at > sent && packets[p].frame.at(kPictureChannel) == wanted) {
                    arrived = packets[p].at;
                    break;
                }
            }
        }
        if (arrived == Clock::time_point{}) {
            std::fprintf(stderr, "press %d never reached the wire\n", i);
            return 1;
        }
        pressMs.push_back(std::chrono::duration<double, std::milli>(arrived - sent).count());
        spin(std::chrono::milliseconds(40 + int(random() % 70)));
    }
    console.stopOutput();
    server.stop();

    auto line = [](const char* name, const Phase& phase) {
        double worst = 0;
        double sum = 0;
        for (double period : phase.periodsMs) {
            sum += period;
            worst = std::max(worst, std::abs(period - kScenePeriodMs));
        }
        std::printf("%-22s ticks %5zu: lateness p50 %4.0f us, p99 %5.0f us, max %6.0f us | periods %4zu: mean %.2f ms, "
                    "largest deviation %.2f ms\n",
                    name, phase.lateUs.size(), quantile(phase.lateUs, 0.5), quantile(phase.lateUs, 0.99),
                    phase.lateUs.empty() ? 0.0 : *std::max_element(phase.lateUs.begin(), phase.lateUs.end()),
                    phase.periodsMs.size(), sum / double(std::max<size_t>(1, phase.periodsMs.size())), worst);
    };
    std::printf("%s output thread, a scene every %d ms, %d s a phase\n",
                console.outputRealTime() ? "real-time" : "normal-priority", kScenePeriodMs, seconds);
    line("no page", alone);
    line("20 pages", watched);
    std::printf("%-22s %ld messages pushed to the pages (%.0f a second each)\n", "", pushed,
                double(pushed) / seconds / kPages);
    std::printf("press to wire, %zu presses: p50 %.1f ms, p99 %.1f ms, max %.1f ms (target: one tick + 10 ms = 60 ms)\n",
                pressMs.size(), quantile(pressMs, 0.5), quantile(pressMs, 0.99),
                *std::max_element(pressMs.begin(), pressMs.end()));
    return 0;
}
