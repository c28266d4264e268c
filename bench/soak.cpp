// A day of a playing show in simulated time, or as many 50 ms ticks as asked:
//   soak [TICKS]        default 1,728,000 (24 hours)
// Prints what was counted beside what the time predicts; exit code 1 when a count
// differs or the resident memory grew.

#include <QCoreApplication>

#include <chrono>
#include <cstdlib>

#include "show_soak.h"

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const long long ticks = argc > 1 ? std::atoll(argv[1]) : tavrelia::soak::kTicksPerDay;
    tavrelia::Console console;
    tavrelia::soak::ShowSoak soak(console);
    const auto start = std::chrono::steady_clock::now();
    const tavrelia::soak::Result result = soak.run(ticks);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    result.print(stdout);
    std::printf("%.1f s of computing, %.1f us a tick with its timers\n", took.count(),
                took.count() * 1e6 / static_cast<double>(ticks));
    return result.countsAsPredicted() && result.memoryKept() ? 0 : 1;
}
