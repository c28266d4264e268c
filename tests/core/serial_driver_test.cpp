#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <fstream>
#include <optional>

#include "../e2e/dmx_wire.h"
#include "output/dmx_packet.h"
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

    // Writes whole universes of FF (the longest packets) into a terminal nobody reads
    // until one fails; how long the failing write took.
    std::optional<wire::Clock::duration> fill(UsbHandle h)
    {
        const std::vector<uint8_t> full(513, 0xFF);
        for (int i = 0; i < 10000; ++i) {
            const auto start = wire::Clock::now();
            if (driver.writeFrame(h, full) != UsbStatus::Ok)
                return wire::Clock::now() - start;
        }
        return std::nullopt;
    }

    static std::vector<uint8_t> packetOf(const std::vector<uint8_t>& frame)
    {
        DmxPacket::Buffer buffer;
        return {buffer.begin(), buffer.begin() + static_cast<long>(DmxPacket::build(frame, buffer))};
    }

    QTemporaryDir dir;
    Pty pty;
    DevicePath device{dir.filePath("dmx0").toStdString()};
    SerialDriver driver{device.path().string()};
};

// Each frame goes out as the interface's packet, its bytes unchanged by the terminal.
TEST_F(SerialDriverTest, WritesEachFrameAsItsPacketInRawBytes)
{
    const UsbHandle h = openDriver();
    std::vector<uint8_t> frame;
    for (int i = 0; i < 256; ++i)
        frame.push_back(static_cast<uint8_t>(i));
    // Newlines, carriage returns, flow-control and signal characters stay as they are.
    for (uint8_t b : {0x0A, 0x0D, 0x0A, 0x11, 0x13, 0x03, 0x1A, 0x7F, 0x0A})
        frame.push_back(b);
    ASSERT_EQ(driver.writeFrame(h, frame), UsbStatus::Ok);
    EXPECT_EQ(pty.read(1s), packetOf(frame));
    // What is no frame never reaches the device (nor overruns the packet).
    const std::vector<uint8_t> tooLong(514, 0xFF);
    EXPECT_EQ(driver.writeFrame(h, tooLong), UsbStatus::InvalidParameter);
    EXPECT_EQ(driver.writeFrame(h, {}), UsbStatus::InvalidParameter);
    EXPECT_TRUE(pty.read(100ms).empty());
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
    EXPECT_EQ(driver.writeFrame(bad, {}), UsbStatus::InvalidHandle);
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
    const uint8_t startCode = 0;
    EXPECT_EQ(driver.queueStatus(h, n), UsbStatus::IoError);
    EXPECT_EQ(driver.writeFrame(h, {&startCode, 1}), UsbStatus::IoError);
    EXPECT_EQ(driver.close(h), UsbStatus::Ok);
}

TEST_F(SerialDriverTest, WriteGivesUpAfterItsTimeout)
{
    const UsbHandle h = openDriver();
    ASSERT_EQ(driver.setTimeouts(h, 500, 100), UsbStatus::Ok);
    const auto took = fill(h);
    ASSERT_TRUE(took.has_value());
    EXPECT_GE(*took, 90ms);
    EXPECT_LT(*took, 2s);
}

// The last packet before a close still reaches the device (the player ends on a
// packet of zeros); after a write that timed out, close drops the rest at once.
TEST_F(SerialDriverTest, CloseKeepsWhatTheDeviceTakesAndDropsWhatAStalledOneHolds)
{
    UsbHandle h = openDriver();
    const std::vector<uint8_t> last(513, 0x00);
    ASSERT_EQ(driver.writeFrame(h, last), UsbStatus::Ok);
    ASSERT_EQ(driver.close(h), UsbStatus::Ok);
    EXPECT_EQ(pty.read(1s), packetOf(last));

    h = openDriver();
    ASSERT_EQ(driver.setTimeouts(h, 500, 100), UsbStatus::Ok);
    ASSERT_TRUE(fill(h).has_value());
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
    ASSERT_TRUE(link.readyForFrame(false));
    const std::vector<uint8_t> frame = {0x0A, 0xFF};
    const std::vector<uint8_t> packet = {0xFF, 0xF0, 0x0A, 0xFF, 0xF7, 0xFF, 0xF1, 0xFF, 0xFF};
    link.writeFrame(frame);
    EXPECT_EQ(pty.read(1s), packet);

    pty.unplug();
    link.writeFrame(frame);
    EXPECT_EQ(link.LinkStatusText(),
              "Интерфейс отключен от компьютера  - Ошибка ввода-вывода...");
    link.TimerPollingTimer();
    EXPECT_FALSE(link.DeviceOpen);
    EXPECT_EQ(link.linkDisplay(false).captionPrefix, " DEMO MODE: ");

    Pty replugged;
    device.pointAt(replugged);
    int polls = 0;
    while (!link.readyForFrame(false) && polls < 2) {
        link.TimerPollingTimer();
        ++polls;
    }
    ASSERT_TRUE(link.readyForFrame(false));
    link.writeFrame(frame);
    EXPECT_EQ(replugged.read(1s), packet);
    link.CloseUsbDevise();
}

}  // namespace
