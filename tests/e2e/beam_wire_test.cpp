// A figure made on the beam editor's tab as it arrives on the wire while the show
// plays: the real window, its output thread and the serial backend on a
// pseudo-terminal, in one process.

#include <QRadioButton>
#include <QTabWidget>

#include <algorithm>

#include "test_environment.h"
#include "wire_window.h"

using namespace std::chrono_literals;
using tavrelia::FigureMaker;
using tavrelia::TBaseForm;
using tavrelia::XyPoint;
using tavrelia::test::WireWindow;
using tavrelia::wire::Packet;

namespace {

struct Run {
    XyPoint point;
    int packets;
};

// Slots 1 and 2 of consecutive packets, equal neighbours folded into runs.
std::vector<Run> runs(const std::vector<Packet>& packets)
{
    std::vector<Run> result;
    for (const Packet& packet : packets) {
        const XyPoint p{packet.frame.at(1), packet.frame.at(2)};
        if (result.empty() || !(result.back().point == p))
            result.push_back({p, 0});
        ++result.back().packets;
    }
    return result;
}

}  // namespace

class BeamWireTest : public QObject {
    Q_OBJECT
private slots:
    void circleIsPlayedOnePointAPeriod();
};

void BeamWireTest::circleIsPlayedOnePointAPeriod()
{
    WireWindow wire;
    QVERIFY(wire.serialChosen);
    auto& w = wire.w;
    auto& reader = wire.reader;
    w.form.FormCreate();
    w.find<QRadioButton>("RadioGroupRateItem2")->click();   // "Выкл": each scene at once
    w.bar("ScrollBarTemp")->setValue(16);                    // 256 ms a scene
    w.setScenes(0, 15);                                      // scenes 1..16

    // The whole show is the range: the circle over scenes 1..16 on channels 1 and 2.
    w.form.pageControlInput()->setCurrentWidget(w.form.inputPage(TBaseForm::InputTab::RedaktorLucha));
    w.click("SpeedButtonEditXYmadeCucle");
    const std::vector<XyPoint> circle = *FigureMaker({1, 16}, 200, 7).make(FigureMaker::Figure::Circle);
    QCOMPARE(int(w.console.image.DataRead(15, 1)), circle[15].x);

    QTRY_VERIFY_WITH_TIMEOUT(reader.packets().size() >= 3, 10000);
    w.click("SpeedButtonPlay");
    reader.clear();
    // Twenty periods: every point at least once, and the wrap from the last scene.
    QTRY_VERIFY_WITH_TIMEOUT(runs(reader.packets()).size() >= 20, 15000);
    w.click("SpeedButtonStop");

    const std::vector<Run> played = runs(reader.packets());
    const auto first = std::find(circle.begin(), circle.end(), played.front().point);
    QVERIFY(first != circle.end());
    // Each run is the next point of the circle: none skipped, none twice.
    size_t k = first - circle.begin();
    std::vector<int> lengths;
    for (const Run& run : played) {
        QCOMPARE(run.point, circle[k]);
        k = (k + 1) % circle.size();
        lengths.push_back(run.packets);
    }
    // Whole periods between the first and the last run: one point a period, 256 ms
    // of 50 ms packets.
    std::vector<int> whole(lengths.begin() + 1, lengths.end() - 1);
    std::sort(whole.begin(), whole.end());
    const int median = whole[whole.size() / 2];
    QVERIFY2(median >= 4 && median <= 6, qPrintable(QString::number(median)));
    QCOMPARE(reader.garbage(), size_t{0});
    w.form.close();
}

TAVRELIA_TEST_MAIN(BeamWireTest)
#include "beam_wire_test.moc"
