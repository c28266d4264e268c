#include <QCheckBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTimer>
#include <QWheelEvent>

#include "beam_editor_panel.h"
#include "paint_counter.h"
#include "test_environment.h"
#include "window_fixture.h"

using namespace tavrelia;

namespace {

struct Beam : test::Window {
    Beam()
    {
        form.pageControlInput()->setCurrentWidget(form.inputPage(TBaseForm::InputTab::RedaktorLucha));
    }
    BeamEditorPanel* panel() { return find<BeamEditorPanel>("BeamEditorPanel"); }
    QWidget* pad() { return find<QWidget>("PaintBoxXY"); }
    // A move with no button held (QTest only moves the cursor for that).
    void hover(QPoint at)
    {
        QMouseEvent event(QEvent::MouseMove, at, pad()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(pad(), &event);
    }
    QSpinBox* spin(const char* name) { return find<QSpinBox>(name); }
    QCheckBox* box(const char* name) { return find<QCheckBox>(name); }
    XyPoint point(int scene, int x = 1)
    {
        return {console.image.DataRead(scene, x), console.image.DataRead(scene, x + 1)};
    }
    void put(int scene, XyPoint p, int x = 1)
    {
        console.image.DataWrite(scene, x, p.x);
        console.image.DataWrite(scene, x + 1, p.y);
    }
    // A range of its own, kept by the next refresh.
    void useRange(int first, int last)
    {
        box("CheckBoxEditXYAllScenes")->setChecked(false);
        spin("SpinEditESSto")->setValue(last);
        spin("SpinEditESSfrom")->setValue(first);
    }
    static QPoint at(XyPoint p) { return {p.x, 255 - p.y}; }
    bool undoButtons(bool enabled)
    {
        for (const char* name : {"SpeedButtonUndo1", "SpeedButtonUndo3", "SpeedButtonUndo4", "SpeedButtonUndo5"})
            if (find<QToolButton>(name)->isEnabled() != enabled)
                return false;
        return true;
    }
};

}  // namespace

class BeamEditorPanelTest : public QObject {
    Q_OBJECT
private slots:
    void captionsFollowTheBarsAndNames();
    void allScenesAndTheRangeEdits();
    void draggingAPointMovesItAndChoosesItsScene();
    void aDragRepaintsOnlyWhatItChanged();
    void figureButtonsWriteOrRefuse();
    void heldButtonsRepeatOnTheTimer();
    void copyToPairsUndoesWithEveryUndoButton();
    void sixteenBitPairsSkipTheFineChannel();
    void whilePlayingThePadChoosesNoScene();
    void wheelMovesTheFirstChannelBar();
};

void BeamEditorPanelTest::captionsFollowTheBarsAndNames()
{
    Beam w;
    const char name[] = "Pan\0\0\0\0\0\0\0\0\0\0\0\0";
    std::copy_n(name, 16, w.console.image.data() + ShowImage::nameAddress(41));
    w.bar("ScrollBarEditXYCh3")->setValue(40);
    QCOMPARE(w.text("LabelXYareaFirrtName3"), QStringLiteral("Ch41  Pan"));
    QCOMPARE(w.text("LabelXYareaSecondName3"), QStringLiteral("Ch42  "));
    QCOMPARE(w.text("LabelXYareaFirrtName1"), QStringLiteral("Ch1  "));
    QCOMPARE(w.text("LabelEditRL"), QStringLiteral("Вправо 45"));
    w.bar("ScrollBarRotate")->setValue(200);
    QCOMPARE(w.text("LabelEditRL"), QStringLiteral("Влево 160"));
    w.bar("ScrollBarEditMaxX")->setValue(120);
    w.bar("ScrollBarEditWide")->setValue(3);
    QCOMPARE(w.text("LabelmadeFigure"), QStringLiteral(" Размер фигуры 120       Опция 3"));
    QCOMPARE(w.text("LabelEXYscena"), QStringLiteral(" Сцена ? "));
    QCOMPARE(w.pad()->toolTip(), QString());
}

void BeamEditorPanelTest::allScenesAndTheRangeEdits()
{
    Beam w;
    w.setScenes(0, 40);
    QCOMPARE(w.spin("SpinEditESSfrom")->value(), 1);
    QCOMPARE(w.spin("SpinEditESSto")->value(), 41);
    w.spin("SpinEditESSfrom")->setValue(10);
    w.bar("ScrollBarEditMaxX")->setValue(100);   // any bar puts the whole show back
    QCOMPARE(w.spin("SpinEditESSfrom")->value(), 1);

    w.box("CheckBoxEditXYAllScenes")->setChecked(false);
    w.spin("SpinEditESSfrom")->setValue(50);   // past the end: the range is one scene
    QCOMPARE(w.spin("SpinEditESSfrom")->value(), 41);
    w.spin("SpinEditESSfrom")->setValue(20);
    w.spin("SpinEditESSto")->setValue(5);
    QCOMPARE(w.spin("SpinEditESSto")->value(), 20);
    w.setScenes(0, 255);   // unchecked, the refresh leaves the range alone
    QCOMPARE(w.spin("SpinEditESSto")->value(), 20);
    w.box("CheckBoxEditXYAllScenes")->setChecked(true);
    QCOMPARE(w.spin("SpinEditESSto")->value(), 255);   // 256 is past the edit's range
}

void BeamEditorPanelTest::draggingAPointMovesItAndChoosesItsScene()
{
    Beam w;
    w.setScenes(0, 3);
    w.useRange(1, 20);
    for (int s = 0; s < 20; ++s)
        w.put(s, {20 + 10 * s, 30});
    w.put(11, {150, 150});
    w.click("SpeedButtonMem4");
    const ShowImage::Bytes before = w.console.image.bytes();

    QTest::mousePress(w.pad(), Qt::LeftButton, {}, Beam::at({151, 148}));
    QCOMPARE(w.current(), 11);
    QCOMPARE(w.last(), 11);   // the show grew to the chosen scene
    QCOMPARE(w.text("LabelStep"), QStringLiteral("12"));
    QCOMPARE(w.text("LabelCoda"), QStringLiteral("12"));
    QCOMPARE(w.text("LabelEXYscena"), QStringLiteral(" Сцена 12"));
    QCOMPARE(w.pad()->toolTip(), QStringLiteral("Переместить сцену 12"));
    // A quick move still drags the point it picked up.
    QTest::mouseMove(w.pad(), Beam::at({160, 170}));
    QTest::mouseMove(w.pad(), Beam::at({200, 230}));
    QCOMPARE(w.text("LabelESPosX"), QStringLiteral("X = 200"));
    QCOMPARE(w.text("LabelESPosY"), QStringLiteral("Y = 230"));
    // Dragged off the pad: held at its edge.
    QTest::mouseMove(w.pad(), QPoint(300, -40));
    QTest::mouseRelease(w.pad(), Qt::LeftButton, {}, QPoint(300, -40));
    QCOMPARE(w.point(11), (XyPoint{255, 255}));
    QCOMPARE(w.text("LabelEXYscena"), QStringLiteral(" "));

    // Exactly that point and the scene bytes changed.
    ShowImage::Bytes expected = before;
    expected[ShowImage::levelAddress(11, 1)] = 255;
    expected[ShowImage::levelAddress(11, 2)] = 255;
    expected[ShowImage::kCurrentScene] = 11;
    expected[ShowImage::kLastScene] = 11;
    QVERIFY(w.console.image.bytes() == expected);

    // Moving without a button drags nothing; a right drag only sizes the caption.
    w.hover(Beam::at({20, 30}));
    QCOMPARE(w.text("LabelEXYscena"), QStringLiteral(" Сцена 1"));
    QTest::mousePress(w.pad(), Qt::RightButton, {}, Beam::at({20, 30}));
    QTest::mouseMove(w.pad(), Beam::at({90, 90}));
    QCOMPARE(w.text("LabelEXYscena"), QStringLiteral(" Размер "));
    QTest::mouseRelease(w.pad(), Qt::RightButton, {}, Beam::at({90, 90}));
    QCOMPARE(w.point(0), (XyPoint{20, 30}));
    QCOMPARE(w.current(), 11);

    w.click("SpeedButtonUndo4");
    QVERIFY(w.console.image.bytes() == before);
    QCOMPARE(w.text("LabelStep"), QStringLiteral("1"));

    // Without "Менять Сцену" the drag leaves the current scene.
    w.box("CheckBoxAllScen")->setChecked(false);
    QTest::mousePress(w.pad(), Qt::LeftButton, {}, Beam::at({150, 150}));
    QTest::mouseRelease(w.pad(), Qt::LeftButton, {}, Beam::at({150, 150}));
    QCOMPARE(w.current(), 0);
}

void BeamEditorPanelTest::aDragRepaintsOnlyWhatItChanged()
{
    Beam w;
    w.useRange(1, 20);
    for (int s = 0; s < 20; ++s)
        w.put(s, {20 + 10 * s, 30});
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    QTest::mousePress(w.pad(), Qt::LeftButton, {}, Beam::at({120, 30}));
    QTest::qWait(100);   // the window's first paints are done
    test::PaintCounter paints(&w.form);
    QTest::mouseMove(w.pad(), Beam::at({124, 40}));
    QTRY_VERIFY(paints.painted("PaintBoxXY"));
    QCOMPARE(w.point(10), (XyPoint{124, 40}));
    QVERIFY(paints.painted("LabelESPosX"));
    for (const char* still : {"ScrollBarEditXYCh1", "SpinEditESSfrom", "LabelmadeFigure", "SpeedButtonEditXYmadeCucle"})
        QVERIFY2(!paints.painted(QString::fromLatin1(still)), still);
    // The point's squares and its lines to scenes 10 and 12, not the whole pad.
    const QRect dirty = paints.region("PaintBoxXY").boundingRect();
    QVERIFY(dirty.contains(QRect(Beam::at({110, 40}), Beam::at({130, 30}))));
    QVERIFY2(QRect(100, 205, 40, 30).contains(dirty), qPrintable(QStringLiteral("%1,%2 %3x%4")
        .arg(dirty.x()).arg(dirty.y()).arg(dirty.width()).arg(dirty.height())));
    QTest::mouseRelease(w.pad(), Qt::LeftButton, {}, Beam::at({124, 40}));
}

void BeamEditorPanelTest::figureButtonsWriteOrRefuse()
{
    Beam w;
    w.useRange(5, 12);
    w.bar("ScrollBarEditXYCh1")->setValue(6);
    w.click("SpeedButtonEditXYmadeCucle");
    const auto circle = *FigureMaker({5, 12}, 200, 7).make(FigureMaker::Figure::Circle);
    for (int k = 0; k < 8; ++k)
        QCOMPARE(w.point(4 + k, 7), circle[k]);

    const ShowImage::Bytes before = w.console.image.bytes();
    w.spin("SpinEditESSto")->setValue(5);   // one scene
    w.click("SpeedButtonEditSpiral");
    QVERIFY(w.console.image.bytes() == before);
    QCOMPARE(w.form.statusPanel0()->text(), QStringLiteral(" Фигура не построена: мало сцен "));
}

void BeamEditorPanelTest::heldButtonsRepeatOnTheTimer()
{
    Beam w;
    w.useRange(1, 3);
    for (int s = 0; s < 3; ++s)
        w.put(s, {100, 100});
    auto* timer = w.find<QTimer>("TimerRepeatButton");
    QVERIFY(!timer->isActive());   // idle, it wakes nothing
    auto* right = w.find<QToolButton>("SpeedButtonEditPosRight");
    QTest::mousePress(right, Qt::LeftButton);
    QCOMPARE(w.point(2).x, 101);   // once at once
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 700);
    w.panel()->TimerRepeatButtonTimer();
    w.panel()->TimerRepeatButtonTimer();
    QCOMPARE(w.point(0).x, 103);
    QCOMPARE(timer->interval(), 50);
    QTest::mouseRelease(right, Qt::LeftButton);
    QVERIFY(!timer->isActive());
    w.panel()->TimerRepeatButtonTimer();
    QCOMPARE(w.point(0).x, 103);

    // A mirror acts once and is not repeated.
    QTest::mousePress(w.find<QToolButton>("SpeedButtonGorizontMirror"), Qt::LeftButton);
    QCOMPARE(w.point(1).x, 255 - 103);
    w.panel()->TimerRepeatButtonTimer();
    QCOMPARE(w.point(1).x, 255 - 103);
    QTest::mouseRelease(w.find<QToolButton>("SpeedButtonGorizontMirror"), Qt::LeftButton);
    QCOMPARE(w.point(3), (XyPoint{0, 0}));   // past the range: untouched
}

void BeamEditorPanelTest::copyToPairsUndoesWithEveryUndoButton()
{
    Beam w;
    w.useRange(2, 4);
    for (int s = 0; s < 5; ++s)
        w.put(s, {10 + s, 20 + s});
    QVERIFY(w.undoButtons(false));
    const ShowImage::Bytes before = w.console.image.bytes();
    w.box("CheckBoxEditXY3")->setChecked(true);
    w.bar("ScrollBarEditXYCh3")->setValue(99);   // channels 100 and 101
    w.bar("ScrollBarEditXYCh2")->setValue(49);   // not checked
    w.click("SpeedButtonEditXYcopy");
    QVERIFY(w.undoButtons(true));
    QCOMPARE(w.point(1, 100), (XyPoint{11, 21}));
    QCOMPARE(w.point(3, 100), (XyPoint{13, 23}));
    QCOMPARE(w.point(4, 100), (XyPoint{0, 0}));
    QCOMPARE(w.point(1, 50), (XyPoint{0, 0}));
    w.click("SpeedButtonUndo3");   // the graph tab's pair undoes it as well
    QVERIFY(w.undoButtons(false));
    QVERIFY(w.console.image.bytes() == before);
}

void BeamEditorPanelTest::sixteenBitPairsSkipTheFineChannel()
{
    Beam w;
    w.useRange(1, 4);
    w.bar("ScrollBarEditXYCh1")->setValue(253);
    w.find<QRadioButton>("RadioGroup16bitItem1")->click();
    QCOMPARE(w.bar("ScrollBarEditXYCh1")->value(), 252);   // Y stays on channel 255
    QCOMPARE(w.text("LabelXYareaSecondName1"), QStringLiteral("Ch255  "));
    w.bar("ScrollBarEditXYCh1")->setValue(0);
    QCOMPARE(w.text("LabelXYareaSecondName1"), QStringLiteral("Ch3  "));
    w.click("SpeedButtonEditXYmadeLine");
    const auto line = *FigureMaker({1, 4}, 200, 7).make(FigureMaker::Figure::Line);
    QCOMPARE(int(w.console.image.DataRead(0, 1)), line[0].x);
    QCOMPARE(int(w.console.image.DataRead(0, 3)), line[0].y);
    QCOMPARE(int(w.console.image.DataRead(0, 2)), 0);
}

void BeamEditorPanelTest::whilePlayingThePadChoosesNoScene()
{
    Beam w;
    w.setScenes(0, 9);
    w.useRange(1, 10);
    w.put(5, {60, 60});
    w.click("SpeedButtonPlay");
    QTest::mousePress(w.pad(), Qt::LeftButton, {}, Beam::at({60, 60}));
    QTest::mouseMove(w.pad(), Beam::at({70, 80}));
    QTest::mouseRelease(w.pad(), Qt::LeftButton, {}, Beam::at({70, 80}));
    QCOMPARE(w.current(), 0);
    QCOMPARE(w.point(5), (XyPoint{70, 80}));   // the drag itself still writes
    w.click("SpeedButtonEditXYmadeRect");
    QCOMPARE(w.point(0), (*FigureMaker({1, 10}, 200, 7).make(FigureMaker::Figure::Rectangle))[0]);
    w.click("SpeedButtonStop");
}

void BeamEditorPanelTest::wheelMovesTheFirstChannelBar()
{
    Beam w;
    auto wheel = [&](QWidget* over, int delta) {
        const QPointF p(over->width() / 2.0, over->height() / 2.0);
        QWheelEvent event(p, over->mapToGlobal(p), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &event);
    };
    wheel(w.pad(), 120);
    wheel(w.bar("ScrollBarEditXYCh1"), 120);   // one step there too, not two
    QCOMPARE(w.bar("ScrollBarEditXYCh1")->value(), 2);
    QCOMPARE(w.text("LabelXYareaFirrtName1"), QStringLiteral("Ch3  "));
    // Another control under the pointer takes its own turn as well.
    wheel(w.bar("ScrollBarRotate"), -120);
    QCOMPARE(w.bar("ScrollBarEditXYCh1")->value(), 1);
    QVERIFY(w.bar("ScrollBarRotate")->value() != 45);
    // Not while another tab is shown.
    w.form.pageControlInput()->setCurrentIndex(0);
    wheel(w.pad(), 120);
    QCOMPARE(w.bar("ScrollBarEditXYCh1")->value(), 1);
}

TAVRELIA_TEST_MAIN(BeamEditorPanelTest)
#include "beam_editor_panel_test.moc"
