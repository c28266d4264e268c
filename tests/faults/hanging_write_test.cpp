// A device that stops taking data: the real window with its output thread and the
// serial backend on a pseudo-terminal that the test stops reading, so that the
// terminal fills up and every write waits for its time-out. The window answers all
// along, the ticks keep their 50 ms, and output resumes once the device reads again.

#include <algorithm>
#include <array>
#include <atomic>

#include "test_environment.h"
#include "wire_window.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// How late each tick started; written by the output thread without allocating.
struct Lateness {
    std::array<std::atomic<int64_t>, 4096> micros{};
    std::atomic<size_t> count{0};

    void add(Clock::time_point deadline)
    {
        const size_t i = count.fetch_add(1);
        if (i < micros.size())
            micros[i] = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - deadline).count();
    }
    int64_t worst(size_t from) const
    {
        int64_t result = 0;
        for (size_t i = from; i < std::min(count.load(), micros.size()); ++i)
            result = std::max<int64_t>(result, micros[i]);
        return result;
    }
};

}  // namespace

class HangingWriteTest : public QObject {
    Q_OBJECT
private slots:
    void windowTickAndLinkOutliveAStalledDevice();
};

void HangingWriteTest::windowTickAndLinkOutliveAStalledDevice()
{
    tavrelia::test::WireWindow wire;
    QVERIFY(wire.serialChosen);
    tavrelia::test::Window& w = wire.w;
    w.form.FormCreate();
    QTRY_VERIFY_WITH_TIMEOUT(wire.reader.packets().size() >= 3, 10000);
    // The same output thread, now reporting how late each tick starts.
    static Lateness lateness;
    w.console.stopOutput();
    w.console.startOutput([](Clock::time_point deadline) { lateness.add(deadline); });

    wire.reader.pause(true);
    const auto stalled = Clock::now();
    const size_t ticksBefore = lateness.count;
    // Until the writes have failed a few times, the window's own loop must keep turning.
    Clock::duration slowestTurn{};
    int failures = 0;
    bool wasReady = true;
    while (Clock::now() - stalled < 12s && failures < 2) {
        const auto turn = Clock::now();
        QTest::qWait(10);
        slowestTurn = std::max(slowestTurn, Clock::now() - turn);
        const bool ready = w.console.usbLink.LinkReady;
        failures += wasReady && !ready;
        wasReady = ready;
    }
    QVERIFY2(failures >= 2, "the stalled device was never noticed twice");
    const auto stallTicks = lateness.count - ticksBefore;
    const auto stallTime = Clock::now() - stalled;

    // What the terminal held is read first (a packet cut by the time-out among it);
    // then whole packets every 50 ms again.
    const auto ms = [](Clock::duration d) { return std::chrono::duration_cast<std::chrono::milliseconds>(d).count(); };
    wire.reader.pause(false);
    wire.reader.clear();
    const auto tenInRhythm = [&] {
        const auto packets = wire.reader.packets();
        return packets.size() > 10 && ms(packets.back().at - packets[packets.size() - 11].at) > 400;
    };
    QTRY_VERIFY_WITH_TIMEOUT(tenInRhythm(), 5000);

    QVERIFY2(ms(slowestTurn) < 200, qPrintable(QStringLiteral("window blocked for %1 ms").arg(ms(slowestTurn))));
    // A tick that waited for the stalled write would be the stall's 500 ms late; a
    // loaded machine's scheduling can make any tick a few tens of ms late.
    QVERIFY2(lateness.worst(ticksBefore) < 50000,
             qPrintable(QStringLiteral("a tick started %1 us late").arg(lateness.worst(ticksBefore))));
    const double expectedTicks = ms(stallTime) / 50.0;
    QVERIFY2(stallTicks >= expectedTicks - 2,
             qPrintable(QStringLiteral("%1 ticks in %2 ms").arg(stallTicks).arg(ms(stallTime))));
    w.form.close();
}

TAVRELIA_TEST_MAIN(HangingWriteTest)
#include "hanging_write_test.moc"
