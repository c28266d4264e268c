// The sequencer's fades as they arrive on the wire: the real window, its output
// thread and the serial backend on a pseudo-terminal, in one process.

#include <QFile>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>

#include "wire_window.h"
#include "test_environment.h"

using namespace std::chrono_literals;
using tavrelia::ShowImage;
using tavrelia::test::Window;
using tavrelia::wire::Packet;
using tavrelia::wire::slot;

namespace {

// The levels of one fade as they arrived: from the last packet at `from` to the
// first at `to`.
std::vector<int> fade(const std::vector<int>& levels, int from, int to)
{
    const auto end = std::find(levels.begin(), levels.end(), to);
    const auto start = std::find(std::make_reverse_iterator(end), levels.rend(), from);
    if (end == levels.end() || start == levels.rend())
        return {};
    return {std::prev(start.base()), std::next(end)};
}

std::vector<int> ramp(int from, int to, int step)
{
    std::vector<int> levels;
    for (int level = from; level < to; level += step)
        levels.push_back(level);
    levels.push_back(to);
    return levels;
}

}  // namespace

class SequencerWireTest : public QObject {
    Q_OBJECT
private slots:
    void automatModeFadesInTempoWhilePlayingAndJumpsWhenStopped();
    void beatKeepsTimeWhileTheDeskIsPaged();
};

void SequencerWireTest::automatModeFadesInTempoWhilePlayingAndJumpsWhenStopped()
{
    tavrelia::test::WireWindow wire;
    QVERIFY(wire.serialChosen);
    Window& w = wire.w;
    tavrelia::wire::PacketReader& reader = wire.reader;
    w.form.FormCreate();
    w.console.sequencer.timer().stop();   // the periods come by hand
    {
        auto guard = w.console.lock();
        w.console.image.DataWrite(1, 1, 255);
        w.console.image.DataWrite(1, 2, 20);
    }
    w.find<QRadioButton>("RadioGroupRateItem1")->click();   // "Автомат"
    w.click("SpeedButtonPlay");
    QTRY_VERIFY_WITH_TIMEOUT(reader.packets().size() >= 5, 10000);

    // Tempo 44: 1,936 ms, N = 38. 0 -> 255 moves by 255 div 38 = 6 per packet;
    // 0 -> 20 is below N and moves by 1.
    w.console.sequencer.TimerSeqveserTimer();
    QCOMPARE(int(w.console.play.FadeSteps[1]), 6);
    QVERIFY(reader.waitFor([](const auto& p) { return !p.empty() && p.back().frame[1] == 255; }, 5s));
    const std::vector<Packet> playing = reader.packets();
    QCOMPARE(fade(slot(playing, 1), 0, 255), ramp(0, 255, 6));
    QCOMPARE(fade(slot(playing, 2), 0, 20), ramp(0, 20, 1));

    // Stopped, the same mode puts the scene out at once.
    w.click("SpeedButtonStop");
    reader.clear();
    w.bar("ScrollBarStep")->setValue(0);
    QVERIFY(reader.waitFor([](const auto& p) { return p.size() >= 3; }, 5s));
    const std::vector<int> stopped = slot(reader.packets(), 1);
    QVERIFY(std::all_of(stopped.begin(), stopped.end(), [](int level) { return level == 0 || level == 255; }));
    QCOMPARE(stopped.back(), 0);
    QCOMPARE(reader.garbage(), size_t{0});
    w.form.close();
}

// An operator paging the desk and switching tabs while the show plays must not move
// the beat: the scene changes keep the tempo's period on the wire.
void SequencerWireTest::beatKeepsTimeWhileTheDeskIsPaged()
{
    tavrelia::test::WireWindow wire;
    QVERIFY(wire.serialChosen);
    Window& w = wire.w;
    tavrelia::wire::PacketReader& reader = wire.reader;
    w.form.FormCreate();
    {
        auto guard = w.console.lock();
        w.console.image.DataWrite(1, 1, 255);   // scene 2 lights channel 1; a new show has two
    }
    w.find<QRadioButton>("RadioGroupRateItem2")->click();   // "Выкл": scenes jump
    QTRY_VERIFY_WITH_TIMEOUT(reader.packets().size() >= 3, 10000);
    w.click("SpeedButtonPlay");

    QScrollBar* page = w.bar("ScrolbarVertPos");
    auto* tabs = w.find<QTabWidget>("PageControlInput");
    QTimer pager;
    int turns = 0;
    QObject::connect(&pager, &QTimer::timeout, [&] {
        page->setValue((page->value() + 7) % 200);
        if (++turns % 20 == 0)
            tabs->setCurrentIndex((tabs->currentIndex() + 1) % tabs->count());
    });
    pager.start(50);

    // Every change of slot 1 is a scene change; seven of them span six periods.
    std::vector<tavrelia::wire::Clock::time_point> changes;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            changes.clear();
            const std::vector<Packet> packets = reader.packets();
            for (size_t i = 1; i < packets.size(); ++i) {
                if (packets[i].frame.at(1) != packets[i - 1].frame.at(1))
                    changes.push_back(packets[i].at);
            }
            return changes.size() >= 7;
        }(),
        30000);
    pager.stop();
    const double meanMs =
        std::chrono::duration<double, std::milli>(changes.back() - changes.front()).count()
        / double(changes.size() - 1);
    QVERIFY2(std::abs(meanMs - 1936.0) <= 20.0, qPrintable(QString::number(meanMs)));
    QVERIFY(turns >= 6 * 1936 / 50 / 2);   // the desk really was paged all along
    QCOMPARE(reader.garbage(), size_t{0});
    w.form.close();
}

TAVRELIA_TEST_MAIN(SequencerWireTest)
#include "sequencer_wire_test.moc"
