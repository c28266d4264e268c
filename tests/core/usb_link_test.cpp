#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <thread>

#include "output/simulated_driver.h"
#include "output/usb_link.h"

using namespace tavrelia;
using Call = SimulatedDriver::Call;

namespace {

const QString kWriteName = QStringLiteral("Интерфейс отключен от компьютера ");
const QString kIoSuffix = QStringLiteral(" - Ошибка ввода-вывода...");

void ensureApp()
{
    static int argc = 1;
    static char name[] = "core_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

class UsbLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureApp();
        auto driver = std::make_unique<SimulatedDriver>();
        bus = driver.get();
        link.setDriver(std::move(driver));
    }

    void plug(const char* serial = "A1", const char* description = "USB DMX")
    {
        bus->plug({serial, description});
    }

    // Starts the link and runs the first polling, which opens the interface.
    void openLink()
    {
        link.InitUsbDevise();
        link.TimerPollingTimer();
        ASSERT_TRUE(link.DeviceOpen);
    }

    void send(std::vector<uint8_t> frame)
    {
        if (link.readyForFrame(false))
            link.writeFrame(frame);
    }

    UsbLink link;
    SimulatedDriver* bus = nullptr;
};

TEST_F(UsbLinkTest, EnumerationTexts)
{
    const std::string long60(60, 'x');
    const std::string full64(64, 'y');   // fills the buffer, no terminator
    struct Case {
        std::vector<SimulatedDriver::Device> devices;
        QString count, serial, description;
    } cases[] = {
        {{}, "Нет USB устройствa ", "", ""},
        {{{"FT1234", "DMX USB PRO"}}, "Устройств на шине USB = 1", "серийный номер = FT1234",
         "DMX USB PRO"},
        {{{"S1", "first"}, {"S2", "second"}}, "Устройств на шине USB = 2",
         "серийный номер = S2", "second"},
        {{{long60, full64}}, "Устройств на шине USB = 1",
         "серийный номер = " + QString(49, 'x'), QString(49, 'y')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count.toStdString());
        auto driver = std::make_unique<SimulatedDriver>();
        for (const auto& d : c.devices)
            driver->plug(d);
        link.setDriver(std::move(driver));
        link.InitUsbDevise();
        EXPECT_EQ(link.UsbDeviceCountText(), c.count);
        EXPECT_EQ(link.UsbSerialText(), c.serial);
        EXPECT_EQ(link.UsbDescriptionText(), c.description);
        EXPECT_FALSE(link.LinkReady);
        EXPECT_TRUE(link.LinkStatusText().isEmpty());
    }
}

TEST_F(UsbLinkTest, StartUpFailuresAreReportedWithTheirSuffix)
{
    struct Case {
        Call call;
        int status;
        QString text;
    } cases[] = {
        {Call::Count, 1, "GetFTDeviceCount - Ошибка Handle..."},
        {Call::Count, 2, "GetFTDeviceCount - Устройство не найдено...."},
        {Call::Serial, 3, "GetFTDeviceSerialNo - Устройство не открывается..."},
        {Call::Description, 4, "GetFTDeviceDescription - Ошибка ввода-вывода..."},
        {Call::Serial, 5, "GetFTDeviceSerialNo - Не хватает ресурсов..."},
        {Call::Description, 6, "GetFTDeviceDescription - Неверный параметр ..."},
        {Call::Count, 7, ""},   // a code without a text empties it
    };
    plug();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status);
        bus->failNext(Call::Count, UsbStatus::IoError);   // leave an earlier text behind
        link.InitUsbDevise();
        bus->failNext(c.call, static_cast<UsbStatus>(c.status));
        link.InitUsbDevise();
        EXPECT_EQ(link.LinkStatusText(), c.text);
    }
}

TEST_F(UsbLinkTest, FailedCountReadsAsNoDevice)
{
    plug();
    bus->failNext(Call::Count, UsbStatus::IoError);
    link.InitUsbDevise();
    EXPECT_EQ(link.UsbDeviceCountText(), "Нет USB устройствa ");
}

TEST_F(UsbLinkTest, PollingOpensResetsAndSetsTimeouts)
{
    plug();
    link.InitUsbDevise();
    EXPECT_TRUE(link.timerPolling()->isActive());
    EXPECT_EQ(link.timerPolling()->interval(), 1000);
    EXPECT_FALSE(link.DeviceOpen);
    EXPECT_FALSE(link.readyForFrame(false));

    link.TimerPollingTimer();
    EXPECT_TRUE(link.DeviceOpen);
    EXPECT_TRUE(link.LinkReady);
    EXPECT_FALSE(link.ReportErrors);
    const std::vector<std::string> expected = {"count=0", "serial(0)=0", "description(0)=0",
                                               "open(0)=0", "reset(1)=0", "timeouts(1,500,500)=0"};
    EXPECT_EQ(bus->callLog(), expected);
    EXPECT_TRUE(link.readyForFrame(false));
    EXPECT_FALSE(link.readyForFrame(true));
}

TEST_F(UsbLinkTest, PollingFailuresAreNotReported)
{
    plug();
    link.InitUsbDevise();
    for (Call call : {Call::Open, Call::Reset, Call::Timeouts}) {
        bus->failNext(call, UsbStatus::IoError);
        link.TimerPollingTimer();
        link.CloseUsbDevise();
    }
    EXPECT_TRUE(link.LinkStatusText().isEmpty());
    // The failed open is retried by the next run.
    bus->failNext(Call::Open, UsbStatus::DeviceNotOpened);
    link.InitUsbDevise();
    link.TimerPollingTimer();
    EXPECT_FALSE(link.DeviceOpen);
    link.TimerPollingTimer();
    EXPECT_TRUE(link.DeviceOpen);
    EXPECT_TRUE(link.LinkStatusText().isEmpty());
}

TEST_F(UsbLinkTest, WritesTheFramesAsGiven)
{
    plug();
    openLink();
    const std::vector<uint8_t> a = {0x00, 0x0A, 0xFF};
    const std::vector<uint8_t> b(513, 0x0D);
    send(a);
    send(b);
    EXPECT_EQ(bus->writes(), (std::vector<std::vector<uint8_t>>{a, b}));
}

TEST_F(UsbLinkTest, UnplugStallsThenLosesThenReopensWithinTwoPolls)
{
    plug("OLD", "first");
    openLink();
    send({1, 2, 3});

    bus->unplug(0);
    send({4});   // fails: Stalled
    EXPECT_EQ(link.LinkStatusText(), kWriteName + kIoSuffix);
    EXPECT_TRUE(link.DeviceOpen);
    EXPECT_FALSE(link.LinkReady);
    EXPECT_FALSE(link.readyForFrame(false));
    EXPECT_EQ(link.linkDisplay(false).captionPrefix, "Tavrelia v3.4 ");

    link.TimerPollingTimer();   // the queue query fails: Lost, back to Closed
    EXPECT_FALSE(link.DeviceOpen);
    EXPECT_TRUE(link.RelistRequest);
    EXPECT_EQ(bus->openHandleCount(), 0);
    const UsbLink::Display lost = link.linkDisplay(false);
    EXPECT_EQ(lost.captionPrefix, " DEMO MODE: ");
    EXPECT_EQ(lost.statusPanel, kWriteName + kIoSuffix);

    link.TimerPollingTimer();   // nothing on the bus: keeps trying
    EXPECT_FALSE(link.DeviceOpen);
    EXPECT_EQ(link.UsbDeviceCountText(), "Нет USB устройствa ");

    plug("NEW", "second");
    link.TimerPollingTimer();   // re-enumerates first, then opens
    EXPECT_TRUE(link.DeviceOpen);
    EXPECT_FALSE(link.RelistRequest);
    EXPECT_EQ(link.UsbSerialText(), "серийный номер = NEW");
    bus->clearWrites();
    send({5});
    EXPECT_EQ(bus->writes().size(), 1u);
    // The text of the loss stays until another failure replaces it.
    EXPECT_EQ(link.LinkStatusText(), kWriteName + kIoSuffix);
}

// The chip stopped answering once but is still plugged: its handle must be closed,
// or the device stays busy and can never be opened again.
TEST_F(UsbLinkTest, LostHandleIsClosedBeforeReopening)
{
    plug();
    openLink();
    bus->failNext(Call::Queue, UsbStatus::IoError);
    link.TimerPollingTimer();
    link.TimerPollingTimer();
    EXPECT_TRUE(link.DeviceOpen);
    EXPECT_EQ(bus->openHandleCount(), 1);
    const auto log = bus->callLog();
    const auto close = std::find(log.begin(), log.end(), "close(1)=0");
    ASSERT_NE(close, log.end());
    EXPECT_NE(std::find(close, log.end(), "open(0)=0"), log.end());
}

// A write that failed while the interface still answers does not leave the link
// silent for good behind a healthy caption: the next polling reopens it.
TEST_F(UsbLinkTest, StalledLinkIsReopenedByPolling)
{
    plug();
    openLink();
    bus->failNext(Call::Write, UsbStatus::IoError);
    send({1});
    EXPECT_FALSE(link.readyForFrame(false));
    link.TimerPollingTimer();
    EXPECT_FALSE(link.DeviceOpen);
    link.TimerPollingTimer();
    EXPECT_TRUE(link.readyForFrame(false));
    send({2});
    EXPECT_EQ(bus->writes(), (std::vector<std::vector<uint8_t>>{{2}}));
}

TEST_F(UsbLinkTest, LinkDisplayByState)
{
    plug();
    link.InitUsbDevise();
    bus->failNext(Call::Count, UsbStatus::DeviceNotFound);
    link.GetListAllDevise();   // with reports on, as at start-up
    const QString closedText = "GetFTDeviceCount - Устройство не найдено....";
    struct Case {
        bool open, demo;
        QString prefix, panel;
    } cases[] = {
        {false, false, " DEMO MODE: ", closedText},
        {false, true, "DEMO mode: ", "    DEMO MODE "},
        {true, false, "Tavrelia v3.4 ", ""},
        {true, true, "DEMO mode: ", "    DEMO MODE "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prefix.toStdString());
        if (c.open && !link.DeviceOpen)
            link.TimerPollingTimer();
        const UsbLink::Display d = link.linkDisplay(c.demo);
        EXPECT_EQ(d.captionPrefix, c.prefix);
        EXPECT_EQ(d.statusPanel, c.panel);
    }
}

TEST_F(UsbLinkTest, DemoSuppressesWritesButPollingGoesOn)
{
    plug();
    openLink();
    EXPECT_FALSE(link.readyForFrame(true));
    bus->unplug(0);
    link.TimerPollingTimer();   // loss is still detected in demo mode
    EXPECT_FALSE(link.DeviceOpen);
    EXPECT_TRUE(bus->writes().empty());
}

TEST_F(UsbLinkTest, CloseEndsTheLinkForGood)
{
    plug();
    openLink();
    link.CloseUsbDevise();
    EXPECT_FALSE(link.timerPolling()->isActive());
    EXPECT_FALSE(link.DeviceOpen);
    EXPECT_FALSE(link.readyForFrame(false));
    EXPECT_EQ(bus->openHandleCount(), 0);
    // A frame the tick had already built when the link closed is dropped.
    const uint8_t late[] = {1};
    link.writeFrame(late);
    EXPECT_TRUE(bus->writes().empty());
}

TEST_F(UsbLinkTest, ReplacingTheDriverClosesTheOpenInterface)
{
    struct Counting : SimulatedDriver {
        int* closes = nullptr;
        UsbStatus close(UsbHandle h) override
        {
            ++*closes;
            return SimulatedDriver::close(h);
        }
    };
    int closes = 0;
    auto driver = std::make_unique<Counting>();
    driver->closes = &closes;
    driver->plug({"A", "B"});
    link.setDriver(std::move(driver));
    openLink();
    link.setDriver(std::make_unique<SimulatedDriver>());
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(link.DeviceOpen);
}

// A driver whose write blocks until released, to catch polling and a write overlapping.
class BlockingDriver : public SimulatedDriver {
public:
    UsbStatus writeFrame(UsbHandle h, DmxFrameView frame) override
    {
        std::unique_lock g(m);
        inWrite = true;
        cv.notify_all();
        cv.wait(g, [this] { return released; });
        return SimulatedDriver::writeFrame(h, frame);
    }
    UsbStatus queueStatus(UsbHandle h, uint32_t& rx) override
    {
        queries++;
        return SimulatedDriver::queueStatus(h, rx);
    }
    std::mutex m;
    std::condition_variable cv;
    bool inWrite = false;
    bool released = false;
    std::atomic<int> queries{0};
};

TEST_F(UsbLinkTest, PollingSkipsWhileAWriteIsUnderWay)
{
    auto driver = std::make_unique<BlockingDriver>();
    BlockingDriver* blocking = driver.get();
    blocking->plug({"A", "B"});
    link.setDriver(std::move(driver));
    openLink();
    std::thread output([&] {
        const uint8_t frame[] = {0x00, 0x01};
        link.writeFrame(frame);
    });
    {
        std::unique_lock g(blocking->m);
        blocking->cv.wait(g, [&] { return blocking->inWrite; });
    }
    link.TimerPollingTimer();
    EXPECT_EQ(blocking->queries, 0);
    {
        std::lock_guard g(blocking->m);
        blocking->released = true;
    }
    blocking->cv.notify_all();
    output.join();
    link.TimerPollingTimer();
    EXPECT_EQ(blocking->queries, 1);
    EXPECT_EQ(blocking->writes().size(), 1u);
}

}  // namespace
