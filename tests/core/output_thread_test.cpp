#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "console.h"
#include "output/output_controls.h"
#include "output/output_thread.h"
#include "output/recode_table_file.h"
#include "recording_sink.h"

using namespace std::chrono_literals;
using tavrelia::Console;
using tavrelia::OutputThread;
using tavrelia::ShowImage;

namespace {

// Collects the deadlines the thread ran its ticks for.
struct TickLog {
    std::mutex mutex;
    std::condition_variable grew;
    std::vector<OutputThread::Clock::time_point> deadlines;

    OutputThread::Tick tick()
    {
        return [this](OutputThread::Clock::time_point deadline) {
            std::lock_guard<std::mutex> g(mutex);
            deadlines.push_back(deadline);
            grew.notify_all();
        };
    }
    bool waitFor(size_t count)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return grew.wait_for(lock, 10s, [&] { return deadlines.size() >= count; });
    }
    size_t size()
    {
        std::lock_guard<std::mutex> g(mutex);
        return deadlines.size();
    }
};

TEST(OutputThread, TicksOnDeadlinesAtLeastOnePeriodApartAndStopsForGood)
{
    TickLog log;
    OutputThread thread;
    const auto started = OutputThread::Clock::now();
    thread.start(log.tick());
    ASSERT_TRUE(log.waitFor(4));
    thread.stop();
    EXPECT_FALSE(thread.running());
    const size_t ticks = log.size();
    EXPECT_GE(log.deadlines[0], started + OutputThread::kPeriod);
    for (size_t i = 1; i < ticks; ++i)
        EXPECT_GE(log.deadlines[i] - log.deadlines[i - 1], OutputThread::kPeriod) << i;
    std::this_thread::sleep_for(3 * OutputThread::kPeriod);
    EXPECT_EQ(log.size(), ticks);
}

TEST(OutputThread, StopWakesTheWaitingThreadAndStartAgainRuns)
{
    TickLog log;
    OutputThread thread;
    thread.start(log.tick());
    thread.start(log.tick());   // already running: ignored
    thread.stop();
    thread.stop();
    // A tick is only possible if the machine stalled past the first deadline.
    EXPECT_LE(log.size(), 1u);
    thread.start(log.tick());
    EXPECT_TRUE(log.waitFor(log.size() + 2));
}

// The real output thread against everything the user-interface thread changes while
// it runs. Under ThreadSanitizer any unguarded sharing fails this test.
TEST(OutputThread, RunsAgainstTheWritersOfTheUserInterface)
{
    QTemporaryDir dir;
    const QString table = dir.filePath(QStringLiteral("t.tvd"));
    Console console;
    tavrelia::test::RecordingSink sink;
    tavrelia::OutputControls controls(console);
    console.output.setSink(&sink);
    console.clearShowData();
    console.startOutput();

    const auto until = std::chrono::steady_clock::now() + 600ms;
    int round = 0;
    uint8_t lastSeen = 0;
    while (std::chrono::steady_clock::now() < until) {
        ++round;
        const auto v = static_cast<uint8_t>(round);
        {
            auto g = console.lock();
            console.image.DataWrite(0, static_cast<uint8_t>(round % 255 + 1), v);
            console.image[ShowImage::kCurrentScene] = static_cast<uint8_t>(round % 2);
            console.image[ShowImage::selectAddress(round % 256)] = round % 3 == 0;
            console.image[ShowImage::pictureFlagAddress(round % 16, 9)] = 1;
            console.controls.pictures[round % 16] = round % 5 == 0;
            console.controls.manual = round % 7 == 0;
            console.controls.stripChecked[round % 27] = true;
            console.controls.stripLevel[round % 27] = v;
            console.controls.pageOffset = static_cast<uint8_t>(round % 229);
            console.controls.handPriority = round % 11 == 0;
            console.controls.handX = v;
            console.controls.demo = round % 13 == 0;
            console.FadeSteps[round % 256] = v;
            console.PlayFlag = round % 4 == 0;
            lastSeen = console.OutputFrame[round % 513];
            console.deviceFeed.DevX[round % 33] = v;
            (void)console.deviceFeed.DevIntensity[round % 35];
        }
        controls.setBlackOut(round % 17 == 0);
        controls.setMacroOut(round % 19 == 0);
        controls.setTransitionMode(round % 4 - 1);
        controls.setSelectedLevels(v);
        controls.setRecodeEntry(round % 513, static_cast<uint16_t>(round % 600));
        controls.setPicture(round % 16, round % 3 == 0);
        tavrelia::Automat& automat = console.automats[round % 2 + 1];
        automat.setRunAlone(round % 6 != 0);
        automat.setChannel(round % 251);
        automat.TimerTempAvtomatTimer();
        if (round % 20 == 0)
            console.pictureEditor.open();
        if (round % 20 == 10) {
            console.pictureEditor.ReadChaser(round % 16);
            console.pictureEditor.close();
        }
        if (round % 50 == 0) {
            controls.resetRecoding();
            console.clearShowData();
            QString error;
            ASSERT_TRUE(tavrelia::RecodeTableFile::save(console, table, &error));
            ASSERT_TRUE(tavrelia::RecodeTableFile::load(console, table, &error));
        }
        (void)console.output.blackOutButtonVisible();
        console.deviceFeed.RedrawRequest = false;
        std::this_thread::sleep_for(200us);
    }
    console.stopOutput();
    (void)lastSeen;
    EXPECT_GE(console.deviceFeed.RedrawRequest.load() + sink.packets().size(), 1u);
    EXPECT_GE(sink.packets().size(), 3u);
    for (const auto& packet : sink.packets()) {
        ASSERT_GE(packet.size(), 519u);
        ASSERT_LE(packet.size(), 1032u);
    }
}

}  // namespace
