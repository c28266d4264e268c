#include <gtest/gtest.h>

#include <QCoreApplication>

#include <algorithm>
#include <memory>

#include "program_run.h"

using namespace tavrelia;
using namespace std::chrono_literals;
using wire::Packet;

namespace {

using wire::ProgramRun;

double meanIntervalMs(const std::vector<Packet>& packets)
{
    const auto span = packets.back().at - packets.front().at;
    return std::chrono::duration<double, std::milli>(span).count() / (packets.size() - 1);
}

TEST(Binary, NewShowSendsZeroPacketsEvery50ms)
{
    ProgramRun run;
    run.start();
    const auto packets = run.packets(41);
    ASSERT_GE(packets.size(), 41u) << run.output();
    for (const Packet& p : packets) {
        EXPECT_EQ(p.wireLength, 519u);
        EXPECT_EQ(p.frame, std::vector<uint8_t>(513, 0));
    }
    EXPECT_EQ(run.reader->garbage(), 0u);
    EXPECT_NEAR(meanIntervalMs(packets), 50.0, 5.0);
}

TEST(Binary, FullSlotsAreStuffed)
{
    ProgramRun run;
    run.prepareShow({{1, 255}, {2, 255}});
    run.start();
    const auto packets = run.packets(5);
    ASSERT_GE(packets.size(), 5u) << run.output();
    std::vector<uint8_t> frame(513, 0);
    frame[1] = frame[2] = 255;
    // The first ticks can come before the show has loaded.
    const Packet& last = packets.back();
    EXPECT_EQ(last.wireLength, 521u);
    EXPECT_EQ(last.frame, frame);
}

TEST(Binary, ReplugAtTheSamePathIsTakenUpAgain)
{
    ProgramRun run;
    run.prepareShow({{7, 200}});
    run.start();
    ASSERT_GE(run.packets(3).size(), 3u) << run.output();

    run.reader->unplug();
    std::this_thread::sleep_for(1500ms);   // long enough for the polling to notice the loss
    run.reader.reset();
    run.pty = std::make_unique<wire::Pty>();
    run.reader = std::make_unique<wire::PacketReader>(*run.pty);
    run.device.pointAt(*run.pty);
    const auto plugged = wire::Clock::now();
    // Two polling periods, and a little for the first tick after the open.
    const bool resumed =
        run.reader->waitFor([](const auto& p) { return !p.empty(); }, 2500ms);
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
        wire::Clock::now() - plugged);
    ASSERT_TRUE(resumed) << "nothing " << waited.count() << " ms after the re-plug, "
                         << run.reader->byteCount() << " bytes; program output:\n"
                         << run.output();
    EXPECT_EQ(run.reader->packets().front().frame[7], 200);
    EXPECT_EQ(run.process.state(), QProcess::Running);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
