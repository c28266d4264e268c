// The conveyor as it arrives on the wire: the real window, its output thread and the
// serial backend on a pseudo-terminal, in one process; three show files bound to
// buttons 1, 2 and 5 and played in list mode, each replacing the last at a wrap.

#include <QCheckBox>
#include <QRadioButton>
#include <QToolButton>


#include "test_environment.h"
#include "wire_window.h"

using namespace std::chrono_literals;
using tavrelia::ShowImage;
using tavrelia::test::ScriptedDialogs;
using tavrelia::test::Window;
using tavrelia::wire::Packet;

namespace {

constexpr int kTempo = 15;   // 225 ms: four or five frames a scene

// Scene s of show k: a level on every channel that no other scene of these shows
// has there, so that a frame made of two shows or two scenes matches none.
uint8_t level(int show, int scene, int channel)
{
    return static_cast<uint8_t>((channel * 7 + show * 40 + scene * 20) & 0xFF);
}

QString writeShow(int show)
{
    ShowImage image;
    image.resetToNewShow();
    image[ShowImage::kSceneTempo] = kTempo;
    image[ShowImage::kLastScene] = 1;
    image[ShowImage::kCurrentScene] = 1;   // a load starts from scene 0 all the same
    for (int scene = 0; scene < 2; ++scene)
        for (int c = 1; c <= 255; ++c)
            image.DataWrite(static_cast<uint8_t>(scene), static_cast<uint8_t>(c), level(show, scene, c));
    return tavrelia::test::writeInShowFolder(
        QStringLiteral("show%1.tvl").arg(show),
        QByteArray(reinterpret_cast<const char*>(image.data()), ShowImage::kImageSize));
}

// Which show and scene a frame is: 10 * show + scene, or -1 for none of them.
int sceneOf(const std::vector<uint8_t>& frame, const std::vector<int>& shows)
{
    for (int show : shows) {
        for (int scene = 0; scene < 2; ++scene) {
            bool all = true;
            for (int c = 1; c <= 255 && all; ++c)
                all = frame[c] == level(show, scene, c);
            if (all)
                return 10 * show + scene;
        }
    }
    return -1;
}

}  // namespace

class ConveyorWireTest : public QObject {
    Q_OBJECT
private slots:
    void listModePlaysTheBoundShowsInTurn();
    void keyLoadsItsShowInHandModeWhilePlaying();
};

void ConveyorWireTest::listModePlaysTheBoundShowsInTurn()
{
    tavrelia::test::WireWindow wire;
    QVERIFY(wire.serialChosen);
    Window& w = wire.w;
    ScriptedDialogs& dialogs = wire.dialogs;
    tavrelia::wire::PacketReader& reader = wire.reader;
    w.form.FormCreate();
    w.find<QRadioButton>("RadioGroupRateItem2")->click();   // "Выкл": each scene at once
    const std::vector<int> shows{1, 2, 5};
    w.click("SpeedButtonKonvOff");
    for (int n : shows) {
        dialogs.fileAnswers.enqueue(writeShow(n));
        auto* button = w.find<QToolButton>(qPrintable(QStringLiteral("SpeedButton%1").arg(n)));
        QTest::mouseClick(button, Qt::RightButton);
        button->click();
    }
    QTRY_VERIFY_WITH_TIMEOUT(reader.packets().size() >= 3, 10000);

    reader.clear();
    w.click("SpeedButtonKonvSpisBegin");
    QVERIFY(w.find<QToolButton>("SpeedButtonPlay")->isChecked());
    // Show 1, 2 and 5; after 5 nothing follows in the list, so 5 plays once more
    // without a reload, and then the list starts again from 1.
    const std::vector<int> expected{10, 11, 20, 21, 50, 51, 50, 51, 10, 11, 20};
    std::vector<int> seen;
    std::vector<Packet> packets;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            packets = reader.packets();
            seen.clear();
            for (const Packet& p : packets) {
                const int at = sceneOf(p.frame, shows);
                if (seen.empty() || seen.back() != at)
                    seen.push_back(at);
            }
            return seen.size() >= expected.size() + 1;
        }(),
        20000);
    QVERIFY2(dialogs.calls.size() == 3, "no message while the list played");

    // Frames of the show that was loaded before may lead; from the first frame of
    // show 1 on, every frame is one whole scene of one show, in the list's order.
    if (seen.front() == -1)
        seen.erase(seen.begin());
    seen.resize(expected.size());
    QCOMPARE(seen, expected);
    QCOMPARE(reader.garbage(), size_t{0});

    // No frame missing: a packet every 50 ms all along (and a scene change sent at once
    // between ticks besides).
    const auto span = packets.back().at - packets.front().at;
    const double meanMs = std::chrono::duration<double, std::milli>(span).count() / (packets.size() - 1);
    QVERIFY2(meanMs < 55, qPrintable(QString::number(meanMs)));
    w.form.close();
}

void ConveyorWireTest::keyLoadsItsShowInHandModeWhilePlaying()
{
    tavrelia::test::WireWindow wire;
    QVERIFY(wire.serialChosen);
    Window& w = wire.w;
    w.form.FormCreate();
    w.form.show();
    QVERIFY(QTest::qWaitForWindowActive(&w.form));
    w.find<QRadioButton>("RadioGroupRateItem2")->click();
    QVERIFY(w.find<QToolButton>("SpeedButtonKonvHand")->isChecked());
    for (int n : {1, 2}) {
        wire.dialogs.fileAnswers.enqueue(writeShow(n));
        QTest::mouseClick(w.find<QToolButton>(qPrintable(QStringLiteral("SpeedButton%1").arg(n))),
                          Qt::RightButton);
    }
    w.click("SpeedButton1");
    w.click("SpeedButtonPlay");
    const auto shows = [&](int show) {
        return [&wire, show] {
            const auto packets = wire.reader.packets();
            return !packets.empty() && sceneOf(packets.back().frame, {show}) / 10 == show;
        };
    };
    QTRY_VERIFY_WITH_TIMEOUT(shows(1)(), 5000);

    // The key reaches the conveyor whichever control has the focus.
    w.find<QToolButton>("SpeedButtonStop")->setFocus();
    QTest::keyClick(w.form.windowHandle(), Qt::Key_W);
    QTRY_VERIFY_WITH_TIMEOUT(shows(2)(), 2000);
    QVERIFY(w.find<QToolButton>("SpeedButton2")->isChecked());
    QVERIFY(w.find<QToolButton>("SpeedButtonPlay")->isChecked());
    QCOMPARE(wire.dialogs.calls.size(), qsizetype(2));   // the two binding dialogs only

    // With the conveyor keys off, Q leaves show 2 playing.
    w.find<QCheckBox>("CheckBoxKeyKonveyr")->setChecked(false);
    QTest::keyClick(w.form.windowHandle(), Qt::Key_Q);
    QTest::qWait(600);
    QVERIFY(shows(2)());
    w.form.close();
}

TAVRELIA_TEST_MAIN(ConveyorWireTest)
#include "conveyor_wire_test.moc"
