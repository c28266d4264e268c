// Runs the real output thread and reports how late its ticks start.
//   tick_probe [ticks] [busy-threads]
// busy-threads spin on the other cores for the whole run, to see the tick under load.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <condition_variable>
#include <thread>
#include <vector>

#include "console.h"
#include "output/output_thread.h"

using Clock = tavrelia::OutputThread::Clock;

int main(int argc, char** argv)
{
    const int ticks = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const int busy = argc > 2 ? std::max(0, std::atoi(argv[2])) : 0;

    std::atomic<bool> spinning{true};
    std::vector<std::thread> spinners;
    for (int i = 0; i < busy; ++i) {
        spinners.emplace_back([&] {
            volatile unsigned long x = 0;
            while (spinning.load(std::memory_order_relaxed))
                x = x + 1;
        });
    }

    tavrelia::Console console;
    console.clearShowData();
    std::vector<double> lateUs;
    lateUs.reserve(static_cast<size_t>(ticks));
    std::mutex mutex;
    std::condition_variable done;

    tavrelia::OutputThread thread;
    thread.start([&](Clock::time_point deadline) {
        const auto late = Clock::now() - deadline;
        console.output.OutputTick();
        std::lock_guard<std::mutex> g(mutex);
        if (lateUs.size() < static_cast<size_t>(ticks)) {
            lateUs.push_back(std::chrono::duration<double, std::micro>(late).count());
            if (lateUs.size() == static_cast<size_t>(ticks))
                done.notify_one();
        }
    });
    {
        std::unique_lock<std::mutex> lock(mutex);
        done.wait(lock, [&] { return lateUs.size() == static_cast<size_t>(ticks); });
    }
    thread.stop();
    spinning = false;
    for (std::thread& t : spinners)
        t.join();

    std::sort(lateUs.begin(), lateUs.end());
    const auto at = [&](double q) { return lateUs[static_cast<size_t>(q * (lateUs.size() - 1))]; };
    std::printf("ticks %d, busy threads %d, %s priority: lateness p50 %.0f us, p99 %.0f us, "
                "max %.0f us\n",
                ticks, busy, thread.realTime() ? "real-time" : "normal", at(0.5), at(0.99),
                lateUs.back());
    return 0;
}
