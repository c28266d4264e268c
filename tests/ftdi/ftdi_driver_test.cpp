#include <gtest/gtest.h>

#include <QCoreApplication>

#include "fake_ftdi_bus.h"
#include "output/ftdi_driver.h"
#include "output/usb_link.h"

using namespace tavrelia;
using fakeusb::bus;
using fakeusb::Chip;

namespace {

const QString kWriteFailure =
    QStringLiteral("Интерфейс отключен от компьютера  - Ошибка ввода-вывода...");

Chip namedChip(std::string serial, std::string description = "USB DMX512 interface",
          uint16_t product = 0x6001)
{
    Chip c;
    c.serial = std::move(serial);
    c.description = std::move(description);
    c.product = product;
    return c;
}

class FtdiBackendTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fakeusb::resetBus();
        link.setDriver(fakeusb::driverOnBus());
    }

    void TearDown() override
    {
        link.CloseUsbDevise();
        link.setDriver(fakeusb::driverOnBus());
        // Every context, device reference and handle libftdi took is given back.
        EXPECT_EQ(bus().liveContexts, 0);
        EXPECT_EQ(bus().liveDevices, 0);
        for (const auto& chip : bus().chips)
            EXPECT_EQ(chip->openHandles, 0);
        EXPECT_TRUE(bus().unexpectedCalls.empty());
    }

    void openLink()
    {
        link.InitUsbDevise();
        link.TimerPollingTimer();
        ASSERT_TRUE(link.readyForFrame(false));
    }

    void send(const std::vector<uint8_t>& frame)
    {
        if (link.readyForFrame(false))
            link.writeFrame(frame);
    }

    UsbLink link;
};

TEST_F(FtdiBackendTest, EnumerationTexts)
{
    Chip mouse;
    mouse.vendor = 0x046d;
    mouse.product = 0xc077;
    struct Case {
        std::vector<Chip> chips;
        QString count, serial, description;
    } cases[] = {
        {{}, "Нет USB устройствa ", "", ""},
        {{mouse}, "Нет USB устройствa ", "", ""},
        {{Chip{}, mouse}, "Устройств на шине USB = 1", "серийный номер = A6008Q1X",
         "USB DMX512 interface"},
        {{namedChip("FT1"), namedChip("FT2", "FT232H", 0x6014)},
         "Устройств на шине USB = 2", "серийный номер = FT2", "FT232H"},
        {{namedChip(std::string(60, 's'), std::string(70, 'd'))},
         "Устройств на шине USB = 1", "серийный номер = " + QString(49, 's'),
         QString(49, 'd')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count.toStdString() + " " + c.serial.toStdString());
        link.setDriver(fakeusb::driverOnBus());   // gives back its contexts
        fakeusb::resetBus();
        for (const Chip& onBus : c.chips)
            bus().plug(onBus);
        link.InitUsbDevise();
        EXPECT_EQ(link.UsbDeviceCountText(), c.count);
        EXPECT_EQ(link.UsbSerialText(), c.serial);
        EXPECT_EQ(link.UsbDescriptionText(), c.description);
        EXPECT_TRUE(link.LinkStatusText().isEmpty());
        link.CloseUsbDevise();
    }
}

TEST_F(FtdiBackendTest, OpenClaimsResetsAndUsesTheTimeouts)
{
    Chip& chip = bus().plug();
    openLink();
    EXPECT_EQ(chip.openHandles, 1);
    EXPECT_TRUE(chip.claimed);
    EXPECT_TRUE(chip.autoDetach);   // the kernel driver gets the chip back on close
    EXPECT_GE(chip.resets, 2);      // libftdi's own reset on open, then FT_ResetDevice
    link.TimerPollingTimer();
    send({0xFF, 0xF0});
    ASSERT_FALSE(chip.modemPollTimeouts.empty());
    EXPECT_EQ(chip.modemPollTimeouts.back(), 500u);
    ASSERT_EQ(chip.bulkTimeouts.size(), 1u);
    EXPECT_EQ(chip.bulkTimeouts.back(), 500u);
    link.CloseUsbDevise();
    EXPECT_FALSE(chip.claimed);
    EXPECT_EQ(chip.openHandles, 0);
}

// Each frame goes to the chip as the interface's packet, FF stuffed.
TEST_F(FtdiBackendTest, WritesEachFrameAsItsPacket)
{
    Chip& chip = bus().plug();
    openLink();
    std::vector<uint8_t> largest = {0xFF, 0xF0};
    for (int s = 0; s < 513; ++s) {
        largest.push_back(0xFF);
        largest.push_back(0xF7);
    }
    largest.insert(largest.end(), {0xFF, 0xF1, 0xFF, 0xFF});
    ASSERT_EQ(largest.size(), 1032u);
    const std::vector<uint8_t> small = {0xFF, 0xF0, 0x0A, 0x0D, 0x00, 0xFF, 0xF1, 0xFF, 0xFF};
    send(std::vector<uint8_t>(513, 0xFF));
    send({0x0A, 0x0D, 0x00});
    std::vector<uint8_t> expected = largest;
    expected.insert(expected.end(), small.begin(), small.end());
    EXPECT_EQ(chip.received, expected);
}

TEST_F(FtdiBackendTest, UnplugIsReportedAndTheNewChipTakenUp)
{
    Chip& old = bus().plug();
    openLink();
    old.present = false;
    send({0xFF, 0xF0});
    EXPECT_EQ(link.LinkStatusText(), kWriteFailure);
    EXPECT_TRUE(link.DeviceOpen);   // stalled until the polling notices
    link.TimerPollingTimer();
    EXPECT_FALSE(link.DeviceOpen);
    EXPECT_EQ(old.openHandles, 0);   // the lost handle is closed
    EXPECT_EQ(link.linkDisplay(false).captionPrefix, " DEMO MODE: ");
    EXPECT_EQ(link.linkDisplay(false).statusPanel, kWriteFailure);

    Chip& fresh = bus().plug(namedChip("NEW1"));
    link.TimerPollingTimer();
    EXPECT_TRUE(link.readyForFrame(false));
    EXPECT_EQ(link.UsbSerialText(), "серийный номер = NEW1");
    send({1, 2, 3});
    EXPECT_EQ(fresh.received, (std::vector<uint8_t>{0xFF, 0xF0, 1, 2, 3, 0xFF, 0xF1, 0xFF, 0xFF}));
}

TEST_F(FtdiBackendTest, MissingPermission)
{
    Chip& denied = bus().plug();
    denied.accessDenied = true;
    link.InitUsbDevise();
    // Listed, but its texts cannot be read and it does not open.
    EXPECT_EQ(link.UsbDeviceCountText(), "Устройств на шине USB = 1");
    EXPECT_EQ(link.UsbSerialText(), "серийный номер = ");
    EXPECT_EQ(link.LinkStatusText(),
              "GetFTDeviceDescription - Устройство не открывается...");
    link.TimerPollingTimer();
    EXPECT_FALSE(link.DeviceOpen);
    EXPECT_EQ(link.linkDisplay(false).captionPrefix, " DEMO MODE: ");

    denied.accessDenied = false;   // the udev rule is installed and the chip re-plugged
    link.TimerPollingTimer();
    EXPECT_TRUE(link.readyForFrame(false));
}

// With no interface there the bus is scanned again only after the kernel has counted
// a device event; without the count (unreadable) every poll scans, as before.
TEST_F(FtdiBackendTest, AbsentInterfaceIsLookedForAfterEachDeviceEvent)
{
    struct Case {
        bool eventsCounted;
        int scansInFourPolls;
    } cases[] = {{true, 1}, {false, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.eventsCounted);
        link.setDriver(c.eventsCounted ? fakeusb::driverOnBus()
                                       : std::make_unique<FtdiDriver>("/nonexistent/uevent_seqnum"));
        link.InitUsbDevise();
        const int before = bus().contextsMade;
        for (int poll = 0; poll < 4; ++poll)
            link.TimerPollingTimer();
        EXPECT_EQ(bus().contextsMade - before, c.scansInFourPolls);
        EXPECT_FALSE(link.DeviceOpen);

        Chip& chip = bus().plug();
        link.TimerPollingTimer();
        EXPECT_TRUE(link.readyForFrame(false));
        send({5});
        EXPECT_EQ(chip.received, (std::vector<uint8_t>{0xFF, 0xF0, 5, 0xFF, 0xF1, 0xFF, 0xFF}));
        link.CloseUsbDevise();
        chip.present = false;
    }
}

TEST_F(FtdiBackendTest, WriteTimeoutStallsUntilReopened)
{
    Chip& chip = bus().plug();
    openLink();
    chip.stallWrites = true;
    send({0xFF, 0xF0});
    EXPECT_EQ(link.LinkStatusText(), kWriteFailure);
    EXPECT_FALSE(link.readyForFrame(false));
    chip.stallWrites = false;
    link.TimerPollingTimer();
    link.TimerPollingTimer();
    EXPECT_TRUE(link.readyForFrame(false));
    send({7});
    EXPECT_EQ(chip.received, (std::vector<uint8_t>{0xFF, 0xF0, 7, 0xFF, 0xF1, 0xFF, 0xFF}));
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
