// The OLA backend against a private olad: what the universe receives while a show
// plays, what Art-Net puts on the loopback interface, and a daemon that goes away and
// comes back while the program runs.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <cstdlib>
#include <new>
#include <numeric>

#include "console.h"
#include "ola_daemon.h"
#include "output/interface_settings.h"

using namespace tavrelia;
using namespace tavrelia::olatest;

// Every allocation in the process is counted for the thread that makes it, so a tick
// can tell whether the output thread allocated.
namespace {
thread_local long threadAllocations = 0;
}  // namespace

void* operator new(std::size_t size)
{
    ++threadAllocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

constexpr int kTempo = 15;   // 225 ms a scene
constexpr uint8_t kLevels[] = {10, 20, 30};

bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (!done()) {
        if (Clock::now() > deadline)
            return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// Channel 1 steps through kLevels at the tempo; channel 2 stays at 77.
void prepareShow(Console& console)
{
    auto guard = console.lock();
    console.clearShowData();
    for (int scene = 0; scene < 3; ++scene) {
        console.image.DataWrite(static_cast<uint8_t>(scene), 1, kLevels[scene]);
        console.image.DataWrite(static_cast<uint8_t>(scene), 2, 77);
    }
    console.image[ShowImage::kLastScene] = 2;
    console.image[ShowImage::kSceneTempo] = kTempo;
    console.controls.transitionMode = OutputEngine::Vykl;
}

// Level changes of channel 1: when each new level first arrived.
std::vector<Frame> changes(const std::vector<Frame>& frames)
{
    std::vector<Frame> result;
    for (const Frame& frame : frames) {
        if (result.empty() || result.back().levels.at(0) != frame.levels.at(0))
            result.push_back(frame);
    }
    return result;
}

double meanGapMs(const std::vector<Frame>& frames)
{
    const auto span = frames.back().at - frames.front().at;
    return std::chrono::duration<double, std::milli>(span).count() / double(frames.size() - 1);
}

class OlaOutput : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(config.isValid());
        oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        InterfaceSettings settings;
        settings.backend = InterfaceSettings::Backend::Ola;
        settings.olaUniverse = kUniverse;
        settings.olaPort = daemon.port();
        SettingsStore store;
        ASSERT_TRUE(settings.save(store));
        ASSERT_NO_THROW(daemon.start());
    }

    void TearDown() override
    {
        console.sequencer.ModeStop();
        console.stopOutput();
        console.usbLink.CloseUsbDevise();
        qputenv("XDG_CONFIG_HOME", oldConfig);
    }

    // The link as the window starts it, and the show playing from its first scene.
    void play(Console::TickProbe probe = {})
    {
        prepareShow(console);
        console.usbLink.setDriver(makeUsbDriver(SettingsStore().read<InterfaceSettings>()));
        console.usbLink.InitUsbDevise();
        console.startOutput(std::move(probe));
        console.sequencer.TempStatus();
        console.sequencer.start();
        console.sequencer.playFromFirstScene();
        ASSERT_TRUE(pumpUntil([&] { return bool(console.usbLink.DeviceOpen); }, 3s));
    }

    // Waits (running the event loop) until the log holds `count` frames.
    bool collect(FrameLog& log, size_t count, std::chrono::milliseconds timeout = 5s)
    {
        return pumpUntil([&] { return log.frames().size() >= count; }, timeout);
    }

    OlaDaemon daemon;
    QTemporaryDir config;
    QByteArray oldConfig;
    Console console;
};

TEST_F(OlaOutput, UniverseFollowsTheShowAtItsTempoWithoutAllocatingOnTheTick)
{
    UniverseObserver universe(daemon.port(), kUniverse);
    // The output thread's allocations after each tick: the sends must not add any.
    std::atomic<long> outputAllocations = 0;
    play([&](auto) { outputAllocations = threadAllocations; });
    ASSERT_TRUE(collect(universe, 5)) << daemon.log();
    const long settled = outputAllocations;
    ASSERT_TRUE(collect(universe, 40)) << daemon.log();
    EXPECT_EQ(outputAllocations, settled) << "the output thread allocated while sending";

    const std::vector<Frame> frames = universe.frames();
    for (const Frame& frame : frames) {
        ASSERT_EQ(frame.levels.size(), 512u);
        EXPECT_EQ(frame.levels[1], 77);
        EXPECT_TRUE(std::all_of(frame.levels.begin() + 2, frame.levels.end(),
                                [](uint8_t level) { return level == 0; }));
    }
    // Scene after scene in order, one every 225 ms, each frame 50 ms after the last.
    const std::vector<Frame> steps = changes(frames);
    ASSERT_GE(steps.size(), 6u);
    for (size_t i = 1; i < steps.size(); ++i) {
        const uint8_t before = steps[i - 1].levels[0];
        const uint8_t expected = before == 10 ? 20 : before == 20 ? 30 : 10;
        EXPECT_EQ(steps[i].levels[0], expected) << "change " << i;
    }
    const std::vector<Frame> whole(steps.begin() + 1, steps.end());
    EXPECT_NEAR(meanGapMs(whole), kTempo * kTempo, 25.0);
    EXPECT_NEAR(meanGapMs(frames), 50.0, 5.0);

    EXPECT_EQ(console.usbLink.UsbDeviceCountText(), QStringLiteral("Устройств на шине USB = 1"));
    EXPECT_EQ(console.usbLink.UsbDescriptionText(), QStringLiteral("OLA universe 1"));
    EXPECT_EQ(console.usbLink.linkDisplay(false).captionPrefix, QStringLiteral("Tavrelia v3.4 "));
}

TEST_F(OlaOutput, ArtDmxArrivesOnTheLoopbackInterface)
{
    ArtNetReceiver artnet(kUniverse);   // net 0, subnet 0: port address = universe
    play();
    ASSERT_TRUE(collect(artnet, 20)) << daemon.log();
    const std::vector<Frame> frames = artnet.frames();
    for (const Frame& frame : frames) {
        ASSERT_EQ(frame.levels.size(), 512u);
        EXPECT_TRUE(frame.levels[0] == 10 || frame.levels[0] == 20 || frame.levels[0] == 30);
        EXPECT_EQ(frame.levels[1], 77);
    }
    EXPECT_GE(changes(frames).size(), 3u);
    EXPECT_EQ(artnet.strangers(), 0u);
}

TEST_F(OlaOutput, RestartedDaemonIsTakenUpWithinTwoSeconds)
{
    play();
    {
        UniverseObserver universe(daemon.port(), kUniverse);
        ASSERT_TRUE(collect(universe, 3));
    }
    daemon.kill();
    // The next send fails: the link is lost as a pulled interface is.
    ASSERT_TRUE(pumpUntil([&] { return !console.usbLink.DeviceOpen; }, 3s));
    const UsbLink::Display lost = console.usbLink.linkDisplay(false);
    EXPECT_EQ(lost.captionPrefix, QStringLiteral(" DEMO MODE: "));
    EXPECT_EQ(lost.statusPanel,
              QStringLiteral("Интерфейс отключен от компьютера  - Ошибка ввода-вывода..."));
    pumpUntil([] { return false; }, 1500ms);   // a while without the daemon

    daemon.start();
    const auto back = Clock::now();
    UniverseObserver universe(daemon.port(), kUniverse);
    ASSERT_TRUE(collect(universe, 1, 3s)) << daemon.log();
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
        universe.frames().front().at - back);
    EXPECT_LE(waited.count(), 2000);
    EXPECT_EQ(console.usbLink.linkDisplay(false).captionPrefix, QStringLiteral("Tavrelia v3.4 "));
}

TEST_F(OlaOutput, DemoModeSendsNothingAndLeavesTheUniverseOpen)
{
    UniverseObserver universe(daemon.port(), kUniverse);
    {
        auto guard = console.lock();
        console.controls.demo = true;
    }
    play();
    pumpUntil([] { return false; }, 400ms);
    EXPECT_TRUE(universe.frames().empty());
    EXPECT_EQ(console.usbLink.linkDisplay(true).captionPrefix, QStringLiteral("DEMO mode: "));
    {
        auto guard = console.lock();
        console.controls.demo = false;
    }
    EXPECT_TRUE(collect(universe, 3, 1s));
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
