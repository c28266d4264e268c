// The hand scan pad steering a pan/tilt pair on the wire while a show plays: the real
// window, its output thread and the serial backend on a pseudo-terminal, in one
// process, driven with mouse events that take the window's own route.

#include <QCheckBox>
#include <QRadioButton>

#include <functional>

#include "check_box_click.h"
#include "hand_scan_form.h"
#include "test_environment.h"
#include "wire_window.h"

using namespace std::chrono_literals;
using tavrelia::ShowImage;
using tavrelia::THandScanForm;
using tavrelia::test::clickCheckBox;
using tavrelia::test::WireWindow;
using Frame = std::vector<uint8_t>;

class HandScanWireTest : public QObject {
    Q_OBJECT
private slots:
    void padOwnsThePairWhilePlayingWithPriority();

private:
    // The first packet from now on whose frame satisfies `wanted`, while the window's
    // timers keep running; empty on time-out.
    Frame next(tavrelia::wire::PacketReader& reader, const std::function<bool(const Frame&)>& wanted)
    {
        size_t seen = reader.packets().size();
        const auto deadline = tavrelia::wire::Clock::now() + 3s;
        while (tavrelia::wire::Clock::now() < deadline) {
            QTest::qWait(10);
            const auto packets = reader.packets();
            for (; seen < packets.size(); ++seen) {
                if (wanted(packets[seen].frame))
                    return packets[seen].frame;
            }
        }
        return {};
    }
};

void HandScanWireTest::padOwnsThePairWhilePlayingWithPriority()
{
    WireWindow wire;
    QVERIFY(wire.serialChosen);
    tavrelia::wire::PacketReader& reader = wire.reader;
    tavrelia::test::Window& w = wire.w;
    w.form.FormCreate();
    // Two scenes that move channels 5 and 6, played without fades.
    {
        auto guard = w.console.lock();
        w.console.image.DataWrite(0, 5, 10);
        w.console.image.DataWrite(0, 6, 20);
        w.console.image.DataWrite(1, 5, 30);
        w.console.image.DataWrite(1, 6, 40);
    }
    w.setScenes(0, 1);
    w.find<QRadioButton>("RadioGroupRateItem2")->click();   // "Выкл"
    clickCheckBox(w.find<QCheckBox>("CheckBox5"));
    auto showValues = [](const Frame& f) {
        return (f[5] == 10 && f[6] == 20) || (f[5] == 30 && f[6] == 40);
    };
    QTRY_VERIFY_WITH_TIMEOUT(reader.packets().size() >= 3, 10000);
    w.click("SpeedButtonPlay");
    QVERIFY(w.console.play.PlayFlag);
    QVERIFY(!next(reader, showValues).empty());

    w.key(Qt::Key_A);   // Ctrl+A: the hand scan window
    auto* scan = w.find<THandScanForm>("THandScanForm");
    QVERIFY(QTest::qWaitForWindowActive(scan));
    clickCheckBox(w.find<QCheckBox>("CheckBoxManualArea"));
    QWidget* pad = w.find<QWidget>("ShapeXY");
    auto padMouse = [&](QTest::MouseAction action, QPoint at) {
        QTest::mouseEvent(action, scan->windowHandle(), Qt::LeftButton, {}, pad->mapTo(scan, at));
    };

    // The pair follows the mouse: column to X, row (top is 255) to Y.
    padMouse(QTest::MousePress, {100, 55});
    Frame f = next(reader, [](const Frame& f) { return f[5] == 100 && f[6] == 200; });
    QVERIFY(!f.empty());
    padMouse(QTest::MouseMove, {150, 105});
    QVERIFY(!next(reader, [](const Frame& f) { return f[5] == 150 && f[6] == 150; }).empty());
    padMouse(QTest::MouseMove, {230, 250});
    f = next(reader, [](const Frame& f) { return f[5] == 230; });
    QCOMPARE(int(f.at(6)), 5);
    padMouse(QTest::MouseRelease, {230, 250});
    // Held across the scene changes of the playing show, which itself stays as it was.
    QTest::qWait(2200);
    const auto held = reader.packets();
    QVERIFY(held.back().frame[5] == 230 && held.back().frame[6] == 5);
    QCOMPARE(int(w.console.image[ShowImage::levelAddress(0, 5)]), 10);
    QCOMPARE(int(w.console.image[ShowImage::levelAddress(1, 6)]), 40);

    // Priority off: the show's values return.
    clickCheckBox(w.find<QCheckBox>("CheckBoxManualArea"));
    QVERIFY(!next(reader, showValues).empty());

    // And again, ended by switching to the main window.
    clickCheckBox(w.find<QCheckBox>("CheckBoxManualArea"));
    padMouse(QTest::MousePress, {0, 0});
    padMouse(QTest::MouseRelease, {0, 0});
    QVERIFY(!next(reader, [](const Frame& f) { return f[5] == 0 && f[6] == 255; }).empty());
    w.form.activateWindow();
    QTRY_COMPARE(QGuiApplication::focusWindow(), w.form.windowHandle());
    QVERIFY(!w.find<QCheckBox>("CheckBoxManualArea")->isChecked());
    QVERIFY(!next(reader, showValues).empty());
    QCOMPARE(reader.garbage(), size_t{0});
    w.form.close();
}

TAVRELIA_TEST_MAIN(HandScanWireTest)
#include "hand_scan_wire_test.moc"
