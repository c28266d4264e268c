// A hundred unplug/replug cycles of the simulated chip: the real libftdi over the
// fake libusb, under the real link and output thread. The test runs the link's
// one-second polling itself; every cycle the new chip is taken up by the second
// polling run (within two seconds), the lost one's handle is closed, and in the end
// the process has the file descriptors and threads, and libusb the contexts and
// devices, that it had after the first opening.

#include <gtest/gtest.h>

#include <thread>

#include "console.h"
#include "fake_ftdi_bus.h"
#include "output/ftdi_driver.h"
#include "replug_support.h"

using namespace std::chrono_literals;
using namespace tavrelia;
using fakeusb::bus;
using fakeusb::Chip;
using fakeusb::lockBus;

namespace {

constexpr int kCycles = 100;
// A chip plugged back is open after one poll; the third allows for a machine busy
// with other builds, where the first packet can take longer than a poll's wait.
constexpr int kPollsToRecover = 3;

Chip& plugChip()
{
    const auto held = lockBus();
    return bus().plug();
}

bool packetArrives(const Chip& chip, std::chrono::milliseconds within)
{
    const auto deadline = std::chrono::steady_clock::now() + within;
    do {
        {
            const auto held = lockBus();
            if (!chip.received.empty())
                return true;
        }
        std::this_thread::sleep_for(2ms);
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

TEST(FtdiReplugCycles, ChipIsTakenUpEveryTimeAndNothingLeaks)
{
    fakeusb::resetBus();
    Chip* chip = &plugChip();
    Console console;
    UsbLink& link = console.usbLink;
    link.setDriver(fakeusb::driverOnBus());
    link.InitUsbDevise();
    console.startOutput();
    link.TimerPollingTimer();
    ASSERT_TRUE(packetArrives(*chip, 1s));
    const int fds = test::openFileDescriptors();
    const int threads = test::threads();
    int contexts = 0;
    int devices = 0;
    {
        const auto held = lockBus();
        contexts = bus().liveContexts;
        devices = bus().liveDevices;
    }

    for (int cycle = 0; cycle < kCycles; ++cycle) {
        SCOPED_TRACE(cycle);
        Chip* lost = chip;
        {
            const auto held = lockBus();
            lost->present = false;
        }
        // Half the time the chip comes back before the polling has seen it go.
        if (cycle % 2 == 0) {
            link.TimerPollingTimer();
            ASSERT_FALSE(link.DeviceOpen);
        }
        chip = &plugChip();
        int polls = 0;
        bool recovered = false;
        while (!recovered && polls < kPollsToRecover) {
            link.TimerPollingTimer();
            ++polls;
            recovered = link.DeviceOpen && packetArrives(*chip, 300ms);
        }
        ASSERT_TRUE(recovered) << "not taken up by polling run " << polls;
        const auto held = lockBus();
        ASSERT_EQ(lost->openHandles, 0);
        ASSERT_FALSE(lost->claimed);
    }
    EXPECT_EQ(test::openFileDescriptors(), fds);
    EXPECT_EQ(test::threads(), threads);
    {
        const auto held = lockBus();
        EXPECT_EQ(bus().liveContexts, contexts);
        EXPECT_EQ(bus().liveDevices, devices);
        EXPECT_TRUE(bus().unexpectedCalls.empty());
    }
    console.stopOutput();
    link.CloseUsbDevise();
}

}  // namespace
