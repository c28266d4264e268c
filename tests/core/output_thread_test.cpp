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
#include "manual_timer.h"
#include "recording_sink.h"

using namespace std::chrono_literals;
using tavrelia::Console;
using tavrelia::OutputThread;
using tavrelia::ShowImage;
using tavrelia::test::ManualTimer;

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

TEST(OutputThread, TicksOnDeadlinesOnePeriodApartAndStopsForGood)
{
    ManualTimer timer;
    TickLog log;
    OutputThread thread(timer);
    const auto started = timer.now();
    thread.start(log.tick());
    for (size_t n = 1; n <= 4; ++n) {
        timer.advanceToNextDeadline();
        ASSERT_TRUE(log.waitFor(n));
    }
    thread.stop();
    EXPECT_FALSE(thread.running());
    EXPECT_EQ(log.deadlines[0], started + OutputThread::kPeriod);
    for (size_t i = 1; i < log.deadlines.size(); ++i)
        EXPECT_EQ(log.deadlines[i] - log.deadlines[i - 1], OutputThread::kPeriod) << i;
    timer.advance(3 * OutputThread::kPeriod);
    EXPECT_EQ(log.size(), 4u);
}

TEST(OutputThread, AfterAStallStartsAfreshInsteadOfCatchingUp)
{
    ManualTimer timer;
    TickLog log;
    OutputThread thread(timer);
    thread.start(log.tick());
    const auto due = timer.nextDeadline();
    timer.advance(due - timer.now() + 5 * OutputThread::kPeriod);
    ASSERT_TRUE(log.waitFor(1));
    EXPECT_EQ(timer.nextDeadline(), timer.now() + OutputThread::kPeriod);
    EXPECT_EQ(log.size(), 1u);
    EXPECT_EQ(log.deadlines[0], due);
}

TEST(OutputThread, StopWakesTheWaitingThreadAndStartAgainRuns)
{
    ManualTimer timer;
    TickLog log;
    OutputThread thread(timer);
    thread.start(log.tick());
    thread.start(log.tick());   // already running: ignored
    timer.nextDeadline();
    thread.stop();
    thread.stop();
    EXPECT_EQ(log.size(), 0u);   // the clock never reached a deadline
    thread.start(log.tick());
    for (size_t n = 1; n <= 2; ++n) {
        timer.advanceToNextDeadline();
        EXPECT_TRUE(log.waitFor(n));
    }
}

// The real output thread against everything the user-interface thread changes while
// it runs: each round lets one tick go and makes its changes while the tick runs.
// Under ThreadSanitizer any unguarded sharing fails this test.
TEST(OutputThread, RunsAgainstTheWritersOfTheUserInterface)
{
    QTemporaryDir dir;
    const QString table = dir.filePath(QStringLiteral("t.tvd"));
    Console console;
    tavrelia::test::RecordingSink sink;
    tavrelia::OutputControls& controls = console.outputControls;
    console.output.setSink(&sink);
    console.clearShowData();
    ManualTimer timer;
    OutputThread thread(timer);
    thread.start([&](OutputThread::Clock::time_point) { console.output.OutputTick(); });

    uint8_t lastSeen = 0;
    for (int round = 1; round <= 600; ++round) {
        timer.advanceToNextDeadline();
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
            console.play.FadeSteps[round % 256] = v;
            console.play.PlayFlag = round % 4 == 0;
            lastSeen = console.dmx.OutputFrame[round % 513];
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
            ASSERT_TRUE(tavrelia::RecodeTableFile::save(console.dmx.RecodeTable, table, &error));
            ASSERT_TRUE(tavrelia::RecodeTableFile::load(console.dmx.RecodeTable, console.consoleLock, table,
                                                        &error));
        }
        (void)console.output.blackOutButtonVisible();
        console.deviceFeed.RedrawRequest = false;
    }
    thread.stop();
    (void)lastSeen;
    EXPECT_GE(console.deviceFeed.RedrawRequest.load() + sink.frames().size(), 1u);
    EXPECT_GE(sink.frames().size(), 3u);
    for (const auto& frame : sink.frames())
        ASSERT_EQ(frame.size(), 513u);
}

}  // namespace
