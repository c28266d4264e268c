// A hundred unplug/replug cycles of a serial interface: the real link, driver and
// output thread on a pseudo-terminal behind a device path that the test re-points
// at a new terminal each time. The test runs the link's one-second polling itself;
// every cycle the link takes the new terminal up by the second polling run (within
// two seconds), and the process ends with the file descriptors and threads it had.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <memory>

#include "console.h"
#include "dmx_wire.h"
#include "output/serial_driver.h"
#include "replug_support.h"

using namespace std::chrono_literals;
using namespace tavrelia;

namespace {

constexpr int kCycles = 100;
constexpr int kPollsToRecover = 2;

struct Terminal {
    explicit Terminal(wire::DevicePath& path) { path.pointAt(pty); }
    wire::Pty pty;
    wire::PacketReader reader{pty};
};

TEST(ReplugCycles, SerialInterfaceIsTakenUpEveryTimeAndNothingLeaks)
{
    QTemporaryDir dir;
    wire::DevicePath path(dir.filePath(QStringLiteral("dmx")).toStdString());
    auto terminal = std::make_unique<Terminal>(path);
    Console console;
    console.usbLink.setDriver(std::make_unique<SerialDriver>(path.path().string()));
    console.usbLink.InitUsbDevise();
    console.startOutput();
    UsbLink& link = console.usbLink;
    const auto packetArrives = [&](std::chrono::milliseconds within) {
        return terminal->reader.waitFor([](const auto& p) { return !p.empty(); }, within);
    };
    link.TimerPollingTimer();
    ASSERT_TRUE(packetArrives(1s));
    const int fds = test::openFileDescriptors();
    const int threads = test::threads();

    for (int cycle = 0; cycle < kCycles; ++cycle) {
        SCOPED_TRACE(cycle);
        terminal->reader.unplug();
        // Half the time the interface comes back before the polling has seen it go.
        const bool quick = cycle % 2 == 1;
        if (!quick) {
            link.TimerPollingTimer();
            ASSERT_FALSE(link.DeviceOpen);
        }
        terminal = std::make_unique<Terminal>(path);
        int polls = 0;
        bool recovered = false;
        while (!recovered && polls < kPollsToRecover) {
            link.TimerPollingTimer();
            ++polls;
            recovered = link.DeviceOpen && packetArrives(300ms);   // a few ticks
        }
        ASSERT_TRUE(recovered) << "not taken up by polling run " << polls;
        ASSERT_EQ(terminal->reader.garbage(), 0u);
    }
    EXPECT_EQ(test::openFileDescriptors(), fds);
    EXPECT_EQ(test::threads(), threads);
    console.stopOutput();
    link.CloseUsbDevise();
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
