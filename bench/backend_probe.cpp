// Tick cost and lateness of the real output thread with the OLA backend (a private
// olad on 127.0.0.1) beside the FTDI backend (the simulated bus), in one run.
//   backend_probe [ticks]
// Cost is the whole tick: frame assembly, device feed, packet and the write.
#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

#include "console.h"
#include "ola_daemon.h"
#include "output/ola_driver.h"
#include "output/simulated_driver.h"

namespace {

using Clock = tavrelia::OutputThread::Clock;

struct Samples {
    std::vector<double> costUs;
    std::vector<double> lateUs;
};

double at(std::vector<double>& values, double q)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(q * double(values.size() - 1))];
}

// Every channel fading between two scenes, so each tick has work and each packet
// carries changing levels.
void prepare(tavrelia::Console& console)
{
    auto guard = console.lock();
    console.clearShowData();
    for (int c = 1; c <= 255; ++c) {
        console.image[tavrelia::ShowImage::rateAddress(c)] = static_cast<uint8_t>(1 + c % 7);
        console.image.DataWrite(0, static_cast<uint8_t>(c), static_cast<uint8_t>(c));
        console.image.DataWrite(1, static_cast<uint8_t>(c), static_cast<uint8_t>(255 - c));
    }
}

Samples run(std::unique_ptr<tavrelia::UsbDriver> driver, int ticks)
{
    tavrelia::Console console;
    prepare(console);
    console.usbLink.setDriver(std::move(driver));
    // The link itself, not the writer thread: the cost is to include the write.
    console.output.setSink(&console.usbLink);
    console.usbLink.GetListAllDevise();
    console.usbLink.TimerPollingTimer();   // opens the interface
    if (!console.usbLink.DeviceOpen) {
        std::fprintf(stderr, "the interface did not open\n");
        std::exit(1);
    }

    Samples samples;
    samples.costUs.reserve(static_cast<size_t>(ticks));
    samples.lateUs.reserve(static_cast<size_t>(ticks));
    std::mutex mutex;
    std::condition_variable done;
    tavrelia::OutputThread thread;
    int count = 0;
    thread.start([&](Clock::time_point deadline) {
        const auto begin = Clock::now();
        if (++count % 40 == 0)
            console.image[tavrelia::ShowImage::kCurrentScene] ^= 1;
        console.output.OutputTick();
        const auto end = Clock::now();
        std::lock_guard<std::mutex> g(mutex);
        if (samples.costUs.size() < static_cast<size_t>(ticks)) {
            samples.costUs.push_back(std::chrono::duration<double, std::micro>(end - begin).count());
            samples.lateUs.push_back(std::chrono::duration<double, std::micro>(begin - deadline).count());
            if (samples.costUs.size() == static_cast<size_t>(ticks))
                done.notify_one();
        }
    });
    {
        std::unique_lock<std::mutex> lock(mutex);
        done.wait(lock, [&] { return samples.costUs.size() == static_cast<size_t>(ticks); });
    }
    thread.stop();
    if (!console.usbLink.readyForFrame(false))
        std::fprintf(stderr, "warning: the link was lost during the run: %s\n",
                     qPrintable(console.usbLink.LinkStatusText()));
    console.usbLink.CloseUsbDevise();
    return samples;
}

void print(const char* name, Samples samples)
{
    std::printf("%-22s cost p50 %6.1f us  p99 %6.1f us  max %7.1f us   "
                "lateness p50 %6.1f us  p99 %7.1f us  max %7.1f us\n",
                name, at(samples.costUs, 0.5), at(samples.costUs, 0.99), at(samples.costUs, 1.0),
                at(samples.lateUs, 0.5), at(samples.lateUs, 0.99), at(samples.lateUs, 1.0));
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int ticks = argc > 1 ? std::max(10, std::atoi(argv[1])) : 200;

    auto simulated = std::make_unique<tavrelia::SimulatedDriver>();
    simulated->plug({"SIM1", "simulated FTDI"});
    const Samples ftdi = run(std::move(simulated), ticks);

    tavrelia::olatest::OlaDaemon daemon;
    daemon.start();
    const Samples ola = run(std::make_unique<tavrelia::OlaDriver>(1, daemon.port()), ticks);

    std::printf("%d ticks of 50 ms per backend\n", ticks);
    print("ftdi (simulated bus)", ftdi);
    print("ola (olad, loopback)", ola);
    return 0;
}
