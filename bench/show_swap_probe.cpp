// A show swap as the conveyor makes it, while the real output thread runs: how long
// the swap holds the console lock, and how late the first tick after a swap is
// compared with the ticks in between.
//   show_swap_probe [swaps]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include <QFile>
#include <QTemporaryDir>

#include "console.h"
#include "output/output_thread.h"

using Clock = tavrelia::OutputThread::Clock;
using tavrelia::Console;
using tavrelia::ShowImage;

namespace {

double us(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

struct Stats {
    std::vector<double> values;
    double at(double q)
    {
        std::sort(values.begin(), values.end());
        return values.empty() ? 0 : values[static_cast<size_t>(q * (values.size() - 1))];
    }
    void print(const char* what)
    {
        std::printf("%-34s n %4zu  p50 %7.1f us  p99 %7.1f us  max %7.1f us\n", what, values.size(),
                    at(0.5), at(0.99), at(1.0));
    }
};

QString writeShow(const QTemporaryDir& dir, int id)
{
    ShowImage image;
    image.resetToNewShow();
    for (int c = 1; c <= 255; ++c)
        image.DataWrite(0, static_cast<uint8_t>(c), (c * 7 + id) & 0xFF);
    const QString path = dir.filePath(QStringLiteral("show%1.tvl").arg(id));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        std::exit(1);
    file.write(reinterpret_cast<const char*>(image.data()), ShowImage::kImageSize);
    return path;
}

// The lock held by the swap: another thread holds the lock while the swap reads its
// file, and lets go at a known moment; the swap takes the lock then, so the time from
// that moment to the swap's return bounds the time it held the lock (it includes the
// swap thread's wake-up).
Stats lockHeld(Console& console, const QString shows[2], int swaps)
{
    Stats held;
    for (int i = 0; i < swaps; ++i) {
        std::mutex m;
        std::condition_variable cv;
        bool locked = false;
        Clock::time_point released;
        std::thread blocker([&] {
            auto guard = console.lock();
            {
                std::lock_guard g(m);
                locked = true;
            }
            cv.notify_one();
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
            released = Clock::now();
        });
        {
            std::unique_lock g(m);
            cv.wait(g, [&] { return locked; });
        }
        console.showFiles.openFileName = shows[i % 2];
        console.showFiles.BlocOpenFile(
            [&](const tavrelia::ConsoleLock::Guard&) { console.image[ShowImage::kCurrentScene] = 0; });
        const auto returned = Clock::now();
        blocker.join();
        held.values.push_back(us(returned - released));
    }
    return held;
}

}  // namespace

int main(int argc, char** argv)
{
    const int swaps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    QTemporaryDir dir;
    Console console;
    console.clearShowData();
    const QString shows[2] = {writeShow(dir, 1), writeShow(dir, 2)};

    Stats held = lockHeld(console, shows, swaps);

    // Ticks record when they were due and when their frame was done.
    struct Tick {
        Clock::time_point due, done;
    };
    std::vector<Tick> ticks;
    ticks.reserve(static_cast<size_t>(swaps) * 4 + 64);
    std::mutex tickMutex;
    tavrelia::OutputThread thread;
    thread.start([&](Clock::time_point deadline) {
        console.output.OutputTick();
        const auto done = Clock::now();
        std::lock_guard g(tickMutex);
        if (ticks.size() < ticks.capacity())
            ticks.push_back({deadline, done});
    });
    std::vector<Clock::time_point> swapEnds;
    std::minstd_rand random(7);
    for (int i = 0; i < swaps; ++i) {
        // Anywhere in the tick's period.
        std::this_thread::sleep_for(std::chrono::microseconds(100000 + random() % 50000));
        console.showFiles.openFileName = shows[i % 2];
        console.showFiles.BlocOpenFile(
            [&](const tavrelia::ConsoleLock::Guard&) { console.image[ShowImage::kCurrentScene] = 0; });
        swapEnds.push_back(Clock::now());
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    thread.stop();

    // The first tick whose frame was done after a swap is the first to send the new show.
    Stats afterSwap;
    Stats others;
    auto swapEnd = swapEnds.begin();
    for (const Tick& t : ticks) {
        const bool first = swapEnd != swapEnds.end() && t.done > *swapEnd;
        (first ? afterSwap : others).values.push_back(us(t.done - t.due));
        while (swapEnd != swapEnds.end() && t.done > *swapEnd)
            ++swapEnd;
    }
    std::printf("show swaps: %d, output thread at %s priority\n", swaps,
                thread.realTime() ? "real-time" : "normal");
    held.print("lock held by a swap (at most)");
    afterSwap.print("first tick after a swap: late by");
    others.print("other ticks: late by");
    return 0;
}
