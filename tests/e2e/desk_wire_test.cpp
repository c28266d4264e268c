// A fader move as it arrives on the wire: the real window, its output thread and the
// serial backend on a pseudo-terminal, in one process.

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <set>

#include "wire_window.h"
#include "test_environment.h"

using tavrelia::ShowImage;
using tavrelia::test::Window;
using tavrelia::wire::slot;

class DeskWireTest : public QObject {
    Q_OBJECT
private slots:
    void faderFadesAtItsStripRate();
    void outputCaptionsFollowTheFadeThenRest();
};

void DeskWireTest::faderFadesAtItsStripRate()
{
    tavrelia::test::WireWindow wire;
    QVERIFY(wire.serialChosen);
    Window& w = wire.w;
    tavrelia::wire::PacketReader& reader = wire.reader;
    w.form.FormCreate();
    w.find<QRadioButton>("RadioGroupRateItem0")->click();   // "Фейдера"
    w.bar("ScrollBarRate03")->setValue(4);                   // 20 per tick
    QCOMPARE(int(w.console.image[ShowImage::rateAddress(3)]), 20);
    // The link opens from the window's own timers: keep the event loop running.
    QTRY_VERIFY_WITH_TIMEOUT(reader.packets().size() >= 3, 10000);

    reader.clear();
    w.bar("ScrollBar3")->setValue(255);
    QTRY_VERIFY_WITH_TIMEOUT(!reader.packets().empty() && reader.packets().back().frame[3] == 255, 5000);

    // Every packet from the move on carries the next step; none is skipped or repeated.
    std::vector<int> levels = slot(reader.packets(), 3);
    levels.erase(levels.begin(), std::find_if(levels.begin(), levels.end(), [](int l) { return l > 0; }));
    std::vector<int> expected;
    for (int level = 20; level < 255; level += 20)
        expected.push_back(level);
    expected.push_back(255);
    QCOMPARE(levels, expected);
    QCOMPARE(reader.garbage(), size_t{0});
    w.form.close();
}

// The strips' output captions refresh while the output moves, whatever moves it (here
// the tick's own fade), and the refresh sleeps once it stands still.
void DeskWireTest::outputCaptionsFollowTheFadeThenRest()
{
    tavrelia::test::WireWindow wire;
    Window& w = wire.w;
    w.form.FormCreate();
    w.find<QRadioButton>("RadioGroupRateItem0")->click();   // "Фейдера"
    w.bar("ScrollBarRate05")->setValue(4);                   // 20 per tick: 13 ticks to 255
    QTRY_VERIFY_WITH_TIMEOUT(wire.reader.packets().size() >= 3, 10000);
    auto* refresh = w.find<QTimer>("TimerDataDmxToDsp");
    QTRY_VERIFY_WITH_TIMEOUT(!refresh->isActive(), 5000);

    w.bar("ScrollBar5")->setValue(255);
    std::set<QString> captions;
    QElapsedTimer clock;
    clock.start();
    while (w.find<QLabel>("Label5")->text() != QStringLiteral("255") && clock.elapsed() < 5000) {
        captions.insert(w.find<QLabel>("Label5")->text());
        QTest::qWait(20);
    }
    QCOMPARE(w.find<QLabel>("Label5")->text(), QStringLiteral("255"));
    // Levels on the way, each seen as the tick made it.
    QVERIFY2(captions.size() >= 5, qPrintable(QString::number(captions.size())));
    QTRY_VERIFY_WITH_TIMEOUT(!refresh->isActive(), 3000);
    w.form.close();
}

TAVRELIA_TEST_MAIN(DeskWireTest)
#include "desk_wire_test.moc"
