#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <fstream>

#include "../e2e/dmx_wire.h"
#include "output/serial_driver.h"
#include "output/usb_link.h"

using namespace tavrelia;
using wire::DevicePath;
using wire::Pty;
using namespace std::chrono_literals;

namespace {

class SerialDriverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        device.pointAt(pty);
    }

    UsbHandle openDriver()
    {
        UsbHandle h = 0;
        EXPECT_EQ(driver.open(0, h), UsbStatus::Ok);
        return h;
    }

    QTemporaryDir dir;
    Pty pty;
    DevicePath device{dir.filePath("dmx0").toStdString()};
    SerialDriver driver{device.path().string()};
};

TEST_F(SerialDriverTest, WritesRawBytesUnchanged)
{
    const UsbHandle h = openDriver();
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 256; ++i)
        bytes.push_back(static_cast<uint8_t>(i));
    // Newlines, carriage returns, flow-control and signal characters stay as they are.
    for (uint8_t b : {0x0A, 0x0D, 0x0A, 0x11, 0x13, 0x03, 0x1A, 0x7F, 0x0A})
        bytes.push_back(b);
    uint32_t written = 0;
    ASSERT_EQ(driver.write(h, bytes.data(), bytes.size(), written), UsbStatus::Ok);
    EXPECT_EQ(written, bytes.size());
    EXPECT_EQ(pty.read(1s), bytes);
}

TEST_F(SerialDriverTest, ListsOneDeviceWhileThePathIsADevice)
{
    std::ofstream(dir.filePath("plain").toStdString()) << "x";
    struct Case {
        std::string path;
        uint32_t count;
        UsbStatus open;
    } cases[] = {
        {device.path().string(), 1, UsbStatus::Ok},
        {dir.filePath("missing").toStdString(), 0, UsbStatus::DeviceNotFound},
        {dir.filePath("plain").toStdString(), 0, UsbStatus::IoError},   // not a terminal
        {"", 0, UsbStatus::DeviceNotFound},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        SerialDriver d(c.path);
        uint32_t count = 99;
        EXPECT_EQ(d.deviceCount(count), UsbStatus::Ok);
        EXPECT_EQ(count, c.count);
        UsbHandle h = 0;
        EXPECT_EQ(d.open(0, h), c.open);
    }
    UsbText text{};
    ASSERT_EQ(driver.description(0, text), UsbStatus::Ok);
    EXPECT_EQ(std::string(text.data()), device.path().string());   // a terminal has no USB name
    ASSERT_EQ(driver.serialNumber(0, text), UsbStatus::Ok);
    EXPECT_EQ(std::string(text.data()), "");
    EXPECT_EQ(driver.serialNumber(1, text), UsbStatus::DeviceNotFound);
}

TEST_F(SerialDriverTest, HandleRules)
{
    const UsbHandle h = openDriver();
    UsbHandle second = 0;
    EXPECT_EQ(driver.open(0, second), UsbStatus::DeviceNotOpened);
    EXPECT_EQ(driver.open(1, second), UsbStatus::DeviceNotFound);
    uint32_t n = 0;
    const UsbHandle bad = h + 1;
    EXPECT_EQ(driver.resetDevice(bad), UsbStatus::InvalidHandle);
    EXPECT_EQ(driver.setTimeouts(bad, 500, 500), UsbStatus::InvalidHandle);
    EXPECT_EQ(driver.queueStatus(bad, n), UsbStatus::InvalidHandle);
    EXPECT_EQ(driver.write(bad, nullptr, 0, n), UsbStatus::InvalidHandle);
    EXPECT_EQ(driver.close(bad), UsbStatus::InvalidHandle);
    EXPECT_EQ(driver.resetDevice(h), UsbStatus::Ok);
    EXPECT_EQ(driver.queueStatus(h, n), UsbStatus::Ok);
    EXPECT_EQ(driver.close(h), UsbStatus::Ok);
    EXPECT_EQ(driver.close(h), UsbStatus::InvalidHandle);
    EXPECT_EQ(driver.open(0, second), UsbStatus::Ok);
}

TEST_F(SerialDriverTest, UnpluggedDeviceFailsWithIoError)
{
    const UsbHandle h = openDriver();
    pty.unplug();
    uint32_t n = 0;
    const uint8_t byte = 0;
    EXPECT_EQ(driver.queueStatus(h, n), UsbStatus::IoError);
    EXPECT_EQ(driver.write(h, &byte, 1, n), UsbStatus::IoError);
    EXPECT_EQ(driver.close(h), UsbStatus::Ok);
}

TEST_F(SerialDriverTest, WriteGivesUpAfterItsTimeout)
{
    const UsbHandle h = openDriver();
    ASSERT_EQ(driver.setTimeouts(h, 500, 100), UsbStatus::Ok);
    const std::vector<uint8_t> block(1 << 20, 0x55);   // more than the terminal buffers
    uint32_t written = 0;
    const auto start = wire::Clock::now();
    EXPECT_EQ(driver.write(h, block.data(), block.size(), written), UsbStatus::IoError);
    const auto took = wire::Clock::now() - start;
    EXPECT_LT(written, block.size());
    EXPECT_GE(took, 90ms);
    EXPECT_LT(took, 2s);
}

// The last packet before a close still reaches the device (the player ends on a
// packet of zeros); after a write that timed out, close drops the rest at once.
TEST_F(SerialDriverTest, CloseKeepsWhatTheDeviceTakesAndDropsWhatAStalledOneHolds)
{
    UsbHandle h = openDriver();
    const std::vector<uint8_t> last(519, 0x00);
    uint32_t written = 0;
    ASSERT_EQ(driver.write(h, last.data(), last.size(), written), UsbStatus::Ok);
    ASSERT_EQ(driver.close(h), UsbStatus::Ok);
    EXPECT_EQ(pty.read(1s), last);

    h = openDriver();
    ASSERT_EQ(driver.setTimeouts(h, 500, 100), UsbStatus::Ok);
    const std::vector<uint8_t> block(1 << 20, 0x55);   // more than the terminal buffers
    ASSERT_EQ(driver.write(h, block.data(), block.size(), written), UsbStatus::IoError);
    const auto start = wire::Clock::now();
    EXPECT_EQ(driver.close(h), UsbStatus::Ok);
    EXPECT_LT(wire::Clock::now() - start, 50ms);
}

// The link on a real terminal: pulled, then a new terminal at the same path.
TEST_F(SerialDriverTest, LinkFollowsUnplugAndReplug)
{
    static int argc = 1;
    static char name[] = "core_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);

    UsbLink link;
    link.setDriver(std::make_unique<SerialDriver>(device.path().string()));
    link.InitUsbDevise();
    EXPECT_EQ(link.UsbDeviceCountText(), "Устройств на шине USB = 1");
    link.TimerPollingTimer();
    ASSERT_TRUE(link.readyForPacket(false));
    const std::vector<uint8_t> packet = {0xFF, 0xF0, 0x0A, 0xFF, 0xF7, 0xFF, 0xF1, 0xFF, 0xFF};
    link.writePacket(packet.data(), packet.size());
    EXPECT_EQ(pty.read(1s), packet);

    pty.unplug();
    link.writePacket(packet.data(), packet.size());
    EXPECT_EQ(link.LinkStatusText(),
              "Интерфейс отключен от компьютера  - Ошибка ввода-вывода...");
    link.TimerPollingTimer();
    EXPECT_FALSE(link.DeviceOpen);
    EXPECT_EQ(link.linkDisplay(false).captionPrefix, " DEMO MODE: ");

    Pty replugged;
    device.pointAt(replugged);
    int polls = 0;
    while (!link.readyForPacket(false) && polls < 2) {
        link.TimerPollingTimer();
        ++polls;
    }
    ASSERT_TRUE(link.readyForPacket(false));
    link.writePacket(packet.data(), packet.size());
    EXPECT_EQ(replugged.read(1s), packet);
    link.CloseUsbDevise();
}

}  // namespace
