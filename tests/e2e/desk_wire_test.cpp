// A fader move as it arrives on the wire: the real window, its output thread and the
// serial backend on a pseudo-terminal, in one process.

#include <QFile>
#include <QRadioButton>
#include <QScrollBar>

#include <algorithm>

#include "wire_window.h"
#include "test_environment.h"

using tavrelia::ShowImage;
using tavrelia::test::Window;
using tavrelia::wire::slot;

class DeskWireTest : public QObject {
    Q_OBJECT
private slots:
    void faderFadesAtItsStripRate();
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

TAVRELIA_TEST_MAIN(DeskWireTest)
#include "desk_wire_test.moc"
