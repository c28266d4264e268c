// The show's beat and the output's rhythm while an operator works the window: the
// real main window plays a two-scene show at tempo 44 while a driver pages the desk
// every 50 ms and switches the input tab every second. Reports the sequencer's
// periods, measured at its advance, and how late the output ticks start.
//   QT_QPA_PLATFORM=offscreen window_beat_probe [periods] [--normal-priority]
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base_form.h"
#include "console.h"

using Clock = tavrelia::OutputThread::Clock;

namespace {

double quantile(std::vector<double> values, double q)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(q * double(values.size() - 1))];
}

}  // namespace

int main(int argc, char** argv)
{
    int periods = 60;
    bool realTime = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--normal-priority") == 0)
            realTime = false;
        else
            periods = std::max(2, std::atoi(argv[i]));
    }
    QApplication app(argc, argv);
    tavrelia::Console console;
    tavrelia::TBaseForm form(console);
    form.ClearAll();   // a new show: two scenes, tempo 44
    form.ReturnPageControlAll();
    form.show();

    // Lateness of every tick, in a buffer the output thread never grows.
    const size_t maxTicks = size_t(periods + 2) * 1936 / 50 + 100;
    std::vector<double> lateUs(maxTicks);
    std::atomic<size_t> ticks{0};
    std::atomic<bool> recording{false};
    console.startOutput(
        [&](Clock::time_point deadline) {
            if (!recording.load(std::memory_order_relaxed))
                return;
            const size_t n = ticks.load(std::memory_order_relaxed);
            if (n < maxTicks) {
                lateUs[n] = std::chrono::duration<double, std::micro>(Clock::now() - deadline).count();
                ticks.store(n + 1, std::memory_order_release);
            }
        },
        realTime);

    std::vector<Clock::time_point> advances;
    QObject::connect(&console.sequencer, &tavrelia::Sequencer::advanced, [&] {
        advances.push_back(Clock::now());
        recording = true;   // from the first advance on
        if (advances.size() > size_t(periods))
            QCoreApplication::exit(0);   // not quit(): that would close the window and ask to save
    });

    auto* page = form.findChild<QScrollBar*>(QStringLiteral("ScrolbarVertPos"));
    auto* tabs = form.findChild<QTabWidget*>(QStringLiteral("PageControlInput"));
    QTimer driver;
    int turns = 0;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        page->setValue((page->value() + 7) % (page->maximum() + 1));
        if (++turns % 20 == 0)
            tabs->setCurrentIndex((tabs->currentIndex() + 1) % tabs->count());
    });
    driver.start(50);
    console.sequencer.ModePlay();
    app.exec();
    driver.stop();
    console.stopOutput();

    std::vector<double> gaps;
    for (size_t i = 1; i < advances.size(); ++i)
        gaps.push_back(std::chrono::duration<double, std::milli>(advances[i] - advances[i - 1]).count());
    double sum = 0;
    double worst = 0;
    for (double gap : gaps) {
        sum += gap;
        worst = std::max(worst, std::abs(gap - 1936.0));
    }
    std::vector<double> late(lateUs.begin(), lateUs.begin() + long(ticks.load()));
    std::printf("%s priority, desk paged every 50 ms (%d turns), tab switched every second\n",
                realTime && console.outputRealTime() ? "real-time" : "normal", turns);
    std::printf("periods %zu: mean %.2f ms (target 1936), largest deviation %.2f ms\n", gaps.size(),
                sum / double(gaps.size()), worst);
    std::printf("ticks %zu: lateness p50 %.0f us, p99 %.0f us, max %.0f us\n", late.size(),
                quantile(late, 0.5), quantile(late, 0.99), *std::max_element(late.begin(), late.end()));
    return 0;
}
