// Everything that writes what the output tick reads, at work together: the real
// window, its output thread and the serial backend on a pseudo-terminal, in one
// process. The conveyor swaps shows at every wrap while the desk's faders are held
// and moved by hand, both automats run, pictures come and go, the hand scan pad
// steers with priority and devices are placed while the 3D feed is read as the
// viewer reads it; then the blackout. Meant for the sanitizers above all; on the
// wire every packet stays whole and they keep coming every 50 ms.

#include <QCheckBox>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>

#include <set>

#include "check_box_click.h"
#include "hand_scan_form.h"
#include "test_environment.h"
#include "wire_window.h"

using tavrelia::ShowImage;
using tavrelia::test::clickCheckBox;
using tavrelia::test::Window;
using tavrelia::wire::Packet;

namespace {

constexpr int kShowChannel = 200;   // no overlay reaches it: it tells the shows apart
constexpr int kAutomatChannel = 100;

QString writeShow(int show)
{
    ShowImage image;
    image.resetToNewShow();
    image[ShowImage::kSceneTempo] = 10;   // 100 ms a scene, a wrap every 200 ms
    image[ShowImage::kLastScene] = 1;
    for (int scene = 0; scene < 2; ++scene) {
        for (int c = 1; c <= 255; ++c)
            image.DataWrite(static_cast<uint8_t>(scene), static_cast<uint8_t>(c), c + scene);
        image.DataWrite(static_cast<uint8_t>(scene), kShowChannel, 11 * show);
    }
    return tavrelia::test::writeInShowFolder(
        QStringLiteral("stage%1.tvl").arg(show),
        QByteArray(reinterpret_cast<const char*>(image.data()), ShowImage::kImageSize));
}

const char* const kPictureBoxes[] = {"CheckBoxChs1", "CheckBoxChs2", "CheckBoxChs3", "CheckBoxChs4",
                                     "CheckBoxChs5", "CheckBoxChs6", "CheckBoxChs7", "CheckBoxChs8",
                                     "CheckBoxChsSpace", "CheckBoxChsZ", "CheckBoxChsX", "CheckBoxChsC",
                                     "CheckBoxChsV", "CheckBoxChsB", "CheckBoxChsN", "CheckBoxChsM"};

}  // namespace

class StageWireTest : public QObject {
    Q_OBJECT
private slots:
    void everythingAtOnce();
};

void StageWireTest::everythingAtOnce()
{
    tavrelia::test::WireWindow wire;
    QVERIFY(wire.serialChosen);
    Window& w = wire.w;
    tavrelia::wire::PacketReader& reader = wire.reader;
    w.form.FormCreate();
    w.form.show();
    QVERIFY(QTest::qWaitForWindowActive(&w.form));
    w.find<QRadioButton>("RadioGroupRateItem0")->click();   // "Фейдера": each channel at its rate

    // Two shows on conveyor buttons 1 and 2, played one after the other.
    w.click("SpeedButtonKonvOff");
    for (int n : {1, 2}) {
        wire.dialogs.fileAnswers.enqueue(writeShow(n));
        auto* button = w.find<QToolButton>(qPrintable(QStringLiteral("SpeedButton%1").arg(n)));
        QTest::mouseClick(button, Qt::RightButton);
        button->click();
    }
    QTRY_VERIFY_WITH_TIMEOUT(reader.packets().size() >= 3, 10000);

    // Automat 1 with the show, automat 2 on its own from channel 101; strips 1 and 2
    // held by hand and selected for the hand scan pad.
    w.bar("ScrollBarChannelAvtomat2")->setValue(kAutomatChannel);
    clickCheckBox(w.find<QCheckBox>("CheckBoxTogethe1"));
    clickCheckBox(w.find<QCheckBox>("CheckBoxAvtomat2"));
    clickCheckBox(w.find<QCheckBox>("CheckBoxManual"));
    clickCheckBox(w.find<QCheckBox>("CheckBox1"));
    clickCheckBox(w.find<QCheckBox>("CheckBox2"));
    w.click("SpeedButtonKonvSpisBegin");
    QVERIFY(w.console.play.PlayFlag);
    w.key(Qt::Key_A);   // Ctrl+A: the hand scan window
    auto* scan = w.find<tavrelia::THandScanForm>("THandScanForm");
    QVERIFY(QTest::qWaitForWindowActive(scan));
    clickCheckBox(w.find<QCheckBox>("CheckBoxManualArea"));
    QWidget* pad = w.find<QWidget>("ShapeXY");

    reader.clear();
    const auto end = tavrelia::wire::Clock::now() + std::chrono::seconds(4);
    for (int round = 0; tavrelia::wire::Clock::now() < end; ++round) {
        w.bar("ScrollBar1")->setValue(round % 256);
        w.find<QCheckBox>(kPictureBoxes[round % 16])->click();
        w.bar("ScrollBarXdev")->setValue(20 + round % 200);
        {
            auto guard = w.console.lock();
            const tavrelia::DeviceTables seen = w.console.deviceFeed.snapshot();
            QVERIFY(seen.DevIntensity.size() == 256);
        }
        QTest::mouseEvent(round % 2 ? QTest::MouseMove : QTest::MousePress, scan->windowHandle(),
                          Qt::LeftButton, {}, pad->mapTo(scan, QPoint(round % 250, 100)));
        QTest::qWait(20);
    }
    QTest::mouseEvent(QTest::MouseRelease, scan->windowHandle(), Qt::LeftButton, {}, pad->mapTo(scan, QPoint(0, 100)));
    // Last the blackout, which also stops the show, blinking for a moment.
    w.find<QCheckBox>("CheckBoxBlackOut")->click();
    QTRY_VERIFY(reader.packets().back().frame[kShowChannel] == 0);
    QTest::qWait(300);

    const std::vector<Packet> packets = reader.packets();
    QVERIFY(packets.size() > 40);
    QCOMPARE(reader.garbage(), size_t{0});
    std::set<int> shows;
    std::set<int> automat;
    for (const Packet& p : packets) {
        shows.insert(p.frame[kShowChannel]);
        automat.insert(p.frame[kAutomatChannel + 1]);
    }
    QVERIFY2(shows.count(11) && shows.count(22), "both shows played");
    QVERIFY2(automat.size() >= 2, "automat 2 stepped");
    const auto span = packets.back().at - packets.front().at;
    const double meanMs = std::chrono::duration<double, std::milli>(span).count() / (packets.size() - 1);
    QVERIFY2(meanMs > 45 && meanMs < 55, qPrintable(QString::number(meanMs)));
    w.form.close();
}

TAVRELIA_TEST_MAIN(StageWireTest)
#include "stage_wire_test.moc"
