#include <QFile>
#include <QMouseEvent>
#include <QTabWidget>
#include <QWheelEvent>

#include "color_swatch.h"
#include "level_graph_panel.h"
#include "paint_counter.h"
#include "scripted_dialogs.h"
#include "test_environment.h"
#include "window_fixture.h"

using namespace tavrelia;

namespace {

struct Graph : test::Window {
    Graph()
    {
        form.ClearAll();   // zoom 8/32, as every show starts
        form.pageControlInput()->setCurrentWidget(form.inputPage(TBaseForm::InputTab::Grafik));
    }
    QWidget* pad() { return find<QWidget>("PaintBoxGrafik"); }
    // A move with no button held (QTest only moves the cursor for that).
    void hover(QPoint at)
    {
        QMouseEvent event(QEvent::MouseMove, at, pad()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(pad(), &event);
    }
    // The middle of a scene's column at zoom 8/32 on the page shown, at a level.
    QPoint at(int scene, int level) const { return {(scene % 32) * 16 + 8, 255 - level}; }
    int level(int scene, int channel) { return console.image.DataRead(scene, channel); }
    void wheel(QWidget* over, int delta)
    {
        const QPointF p(over->width() / 2.0, over->height() / 2.0);
        QWheelEvent event(p, over->mapToGlobal(p), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &event);
    }
};

}  // namespace

class LevelGraphPanelTest : public QObject {
    Q_OBJECT
private slots:
    void pageAndZoomCaptions();
    void lineToolThroughTheMouseAndUndo();
    void penDragAndTheMouseCaptions();
    void aDragRepaintsOnlyTheColumnsItChanged();
    void channelNameAndLastSceneBar();
    void zoomOfANewAndAnOpenedShow();
    void wheelMovesTheChannelBar();
};

void LevelGraphPanelTest::pageAndZoomCaptions()
{
    Graph w;
    QCOMPARE(w.bar("ScrollBarGrafikZoom")->value(), 3);
    QCOMPARE(w.bar("ScrollBarGrafikArea")->maximum(), 7);
    w.bar("ScrollBarGrafikArea")->setValue(7);
    QCOMPARE(w.text("LabelScenaGrafikFrom"), QStringLiteral("от Сцены = 225"));
    QCOMPARE(w.text("LabelScenaGrafikLast"), QStringLiteral("до Сцены = 256"));
    QCOMPARE(w.text("LabelGrafZoom"), QStringLiteral(" Масштаб = 8/1"));
    QVERIFY(w.bar("ScrollBarGrafikArea")->isEnabled());

    w.bar("ScrollBarGrafikZoom")->setValue(1);   // the page is pulled back into range
    QCOMPARE(w.bar("ScrollBarGrafikArea")->value(), 1);
    QCOMPARE(w.text("LabelScenaGrafikFrom"), QStringLiteral("от Сцены = 129"));
    QCOMPARE(w.text("LabelGrafZoom"), QStringLiteral(" Масштаб = 2/1"));
    w.bar("ScrollBarGrafikZoom")->setValue(0);
    QVERIFY(!w.bar("ScrollBarGrafikArea")->isEnabled());
    QCOMPARE(w.text("LabelScenaGrafikLast"), QStringLiteral("до Сцены = 256"));
}

void LevelGraphPanelTest::lineToolThroughTheMouseAndUndo()
{
    Graph w;
    w.bar("ScrollBarChanellGrafik")->setValue(5);   // channel 6
    w.click("SpeedButtonGrafLine");
    w.click("SpeedButtonMem3");
    const ShowImage::Bytes before = w.console.image.bytes();

    // Left click at scene 10 on level 0, right click at 13 on level 100.
    QTest::mouseClick(w.pad(), Qt::LeftButton, {}, w.at(9, 0));
    QTest::mouseClick(w.pad(), Qt::RightButton, {}, w.at(12, 100));
    ShowImage::Bytes expected = before;
    for (auto [scene, level] : {std::pair{10, 33}, {11, 66}, {12, 99}})
        expected[ShowImage::levelAddress(scene, 6)] = static_cast<uint8_t>(level);
    QVERIFY(w.console.image.bytes() == expected);
    QCOMPARE(w.console.levelGraph.GraphLineStart, 9);

    // A ramp over the next page, drawn right to left.
    w.bar("ScrollBarGrafikArea")->setValue(1);
    QTest::mouseClick(w.pad(), Qt::LeftButton, {}, w.at(63, 250));
    QTest::mouseClick(w.pad(), Qt::RightButton, {}, w.at(33, 10));
    QCOMPARE(w.level(33, 6), 10);
    QCOMPARE(w.level(34, 6), 18);   // 240 div 30 = 8 a scene
    QCOMPARE(w.level(63, 6), 250);
    QCOMPARE(w.level(32, 6), 0);

    w.click("SpeedButtonUndo3");
    QVERIFY(w.console.image.bytes() == before);
}

void LevelGraphPanelTest::penDragAndTheMouseCaptions()
{
    Graph w;
    w.bar("ScrollBarChanellGrafik")->setValue(0);
    w.console.image.DataWrite(10, 1, 128);
    w.hover(w.at(10, 100));
    QCOMPARE(w.text("LabelScenaGrafik"), QStringLiteral(" Сцена = 11"));
    QCOMPARE(w.text("LabelLevelNewGrafik"), QStringLiteral(" Новый уровень канала = 100     40%"));
    QCOMPARE(w.text("LabelLevelDmxGrafik"), QStringLiteral(" Уровень канала сцены 11 = 128     51%"));
    QCOMPARE(w.level(10, 1), 128);   // no button: nothing drawn

    w.click("SpeedButtonGrafPen");
    w.bar("ScrollBarGrafikArea")->setValue(6);
    QTest::mousePress(w.pad(), Qt::LeftButton, {}, w.at(200, 50));
    QTest::mouseMove(w.pad(), w.at(220, 70));
    QTest::mouseRelease(w.pad(), Qt::LeftButton, {}, w.at(220, 70));
    QCOMPARE(w.level(199, 1), 0);
    QCOMPARE(w.level(200, 1), 50);
    QCOMPARE(w.level(219, 1), 50);
    QCOMPARE(w.level(220, 1), 70);
    QCOMPARE(w.level(254, 1), 70);
    QCOMPARE(w.level(255, 1), 0);
    w.hover(w.at(210, 0));   // released: the pen is up
    QCOMPARE(w.level(210, 1), 50);

    // The arrow sets one scene only.
    w.click("SpeedButtonGrafArrow");
    QTest::mouseClick(w.pad(), Qt::LeftButton, {}, w.at(205, 255));
    QCOMPARE(w.level(205, 1), 255);
    QCOMPARE(w.level(206, 1), 50);
}

void LevelGraphPanelTest::aDragRepaintsOnlyTheColumnsItChanged()
{
    Graph w;
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    QTest::mousePress(w.pad(), Qt::LeftButton, {}, w.at(3, 100));
    QTest::qWait(100);   // the window's first paints are done
    test::PaintCounter paints(&w.form);
    QTest::mouseMove(w.pad(), w.at(4, 150));
    QTRY_VERIFY(paints.painted("PaintBoxGrafik"));
    QCOMPARE(w.level(4, 1), 150);
    QVERIFY(paints.painted("LabelLevelNewGrafik"));
    for (const char* still : {"ScrollBarChanellGrafik", "LabelNameChanel", "SpeedButtonGrafPen"})
        QVERIFY2(!paints.painted(QString::fromLatin1(still)), still);
    // Column 4, and the line start's marker on column 3 beside it.
    const QRect dirty = paints.region("PaintBoxGrafik").boundingRect();
    QVERIFY(dirty.contains(QRect(64, 0, 16, 256)));
    QVERIFY2(QRect(40, 0, 48, 256).contains(dirty), qPrintable(QString::number(dirty.width())));
    QTest::mouseRelease(w.pad(), Qt::LeftButton, {}, w.at(4, 150));
}

void LevelGraphPanelTest::channelNameAndLastSceneBar()
{
    Graph w;
    const char name[] = "Dimmer\0\0\0\0\0\0\0\0\0";
    std::copy_n(name, 16, w.console.image.data() + ShowImage::nameAddress(6));
    w.console.colors.GroupRed[6] = 200;
    w.bar("ScrollBarChanellGrafik")->setValue(5);
    QCOMPARE(w.text("LabelNameChanel"), QStringLiteral(" Канал 6  Dimmer"));
    QCOMPARE(w.find<ColorSwatch>("graphGroupColor")->brushColor(), QColor(200, 0, 0));

    w.setScenes(30, 40);
    QCOMPARE(w.bar("ScrollBarMaxScenaGrafic")->value(), 40);
    w.bar("ScrollBarMaxScenaGrafic")->setValue(20);
    QCOMPARE(w.last(), 20);
    QCOMPARE(w.text("LabelCoda"), QStringLiteral("21"));
    QCOMPARE(w.current(), 21);   // the scene bar's range pulled the current scene in
}

void LevelGraphPanelTest::zoomOfANewAndAnOpenedShow()
{
    test::ScriptedDialogs dialogs;
    Graph w;
    const QString path = test::showFolderPath() + QStringLiteral("/long.tvl");
    {
        ShowImage image;
        image[ShowImage::kLastScene] = 100;
        QFile file(path);
        QVERIFY(QDir().mkpath(test::showFolderPath()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(image.data()), ShowImage::kImageSize);
    }
    dialogs.fileAnswers.enqueue(path);
    w.form.OpenItemClick();
    QCOMPARE(w.bar("ScrollBarGrafikZoom")->value(), 2);
    QCOMPARE(w.text("LabelGrafZoom"), QStringLiteral(" Масштаб = 4/1"));
    QCOMPARE(w.console.levelGraph.pageScenes(), 64);

    w.form.ClearAll();
    QCOMPARE(w.bar("ScrollBarGrafikZoom")->value(), 3);
    QCOMPARE(w.console.levelGraph.pageScenes(), 32);
}

void LevelGraphPanelTest::wheelMovesTheChannelBar()
{
    Graph w;
    w.wheel(w.pad(), 120);
    w.wheel(w.bar("ScrollBarChanellGrafik"), 120);   // one step there too, not two
    QCOMPARE(w.bar("ScrollBarChanellGrafik")->value(), 2);
    w.wheel(w.find<QLabel>("LabelGrafZoom"), -120);
    QCOMPARE(w.bar("ScrollBarChanellGrafik")->value(), 1);
    QCOMPARE(w.text("LabelNameChanel"), QStringLiteral(" Канал 2  "));
}

TAVRELIA_TEST_MAIN(LevelGraphPanelTest)
#include "level_graph_panel_test.moc"
