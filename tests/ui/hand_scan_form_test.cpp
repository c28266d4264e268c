// The hand scan window through its controls and the mouse, offscreen.

#include <QCheckBox>
#include <QGroupBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QtTest>

#include "check_box_click.h"
#include "hand_scan_form.h"
#include "window_fixture.h"

using namespace tavrelia;
using tavrelia::test::clickCheckBox;
using tavrelia::test::Window;

class HandScanFormTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void openedFromTheMenuKeyAndToolButton();
    void dragWritesTheSelectedPairsAndTheDeskFollows();
    void invertAndSwapBoxes();
    void zeroChannelFace();
    void everythingFits();

private:
    THandScanForm* openPad()
    {
        w->key(Qt::Key_A);   // Ctrl+A
        if (!QTest::qWaitForWindowActive(scan()))
            qWarning("the hand scan window did not become active");
        return scan();
    }
    // The main window counts as active while its dialog is: wait for the focus itself.
    void activateMainWindow()
    {
        w->form.activateWindow();
        QTRY_COMPARE(QGuiApplication::focusWindow(), w->form.windowHandle());
    }
    // Mouse events take the window's real route to the pad.
    void padMouse(QTest::MouseAction action, QPoint at)
    {
        QTest::mouseEvent(action, scan()->windowHandle(), Qt::LeftButton, {}, pad()->mapTo(scan(), at));
    }
    THandScanForm* scan() { return w->find<THandScanForm>("THandScanForm"); }
    QWidget* pad() { return w->find<QWidget>("ShapeXY"); }
    QCheckBox* box(const char* name) { return w->find<QCheckBox>(name); }
    uint8_t level(int channel) { return w->console.image[ShowImage::levelAddress(0, channel)]; }

    std::unique_ptr<Window> w;
};

void HandScanFormTest::init()
{
    w = std::make_unique<Window>();
    w->form.show();
    QVERIFY(QTest::qWaitForWindowActive(&w->form));
}

void HandScanFormTest::cleanup()
{
    w.reset();
}

void HandScanFormTest::openedFromTheMenuKeyAndToolButton()
{
    QMenu* options = w->find<QMenu>("MenuOpcii");
    QCOMPARE(options->actions().value(0), w->action("AreaItem"));
    QCOMPARE(w->action("AreaItem")->text(), QStringLiteral("Поле для ручного управления лучем сканера"));
    QCOMPARE(w->find<QWidget>("SpeedButtonAREA")->toolTip(), QStringLiteral("Окно ручного управления сканера "));
    QVERIFY(!scan()->isVisible());

    openPad();
    QVERIFY(scan()->isVisible());
    QVERIFY(scan()->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(scan()->palette().color(QPalette::Window), QColor(200, 200, 255));
    QVERIFY(w->find<QGroupBox>("GroupBoxXY")->isVisible());
    QVERIFY(!w->find<QGroupBox>("GroupBoxZero")->isVisible());
    QCOMPARE(w->find<QGroupBox>("GroupBoxXY")->title(), QStringLiteral("Ручное управление лучем сканера "));
    QCOMPARE(pad()->size(), QSize(256, 256));
    QCOMPARE(pad()->toolTip(), QStringLiteral("Положение курсора на поле воздействует на два канала, "
                                              "начиная с первой отметки в столбце =Выбор = "));
    const char* names[] = {"CheckBoxX", "CheckBoxY", "CheckBoxX_Y", "CheckBoxManualArea"};
    const QString captions[] = {"X=255", "Y=255", "X<->Y", "Приоритет"};
    const QString hints[] = {"Инверсия по X", "Инверсия по Y", "Меняет местами координаты  X <> Y ",
                             "Управлять в любом режиме"};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(box(names[i])->text(), captions[i]);
        QCOMPARE(box(names[i])->toolTip(), hints[i]);
    }

    // Closing only hides it; the tool button shows the same window again.
    scan()->close();
    QVERIFY(!scan()->isVisible());
    w->click("SpeedButtonAREA");
    QVERIFY(scan()->isVisible());
    QCOMPARE(w->form.findChildren<THandScanForm*>().size(), 1);
}

// Channels 1, 2 and 9 selected on the desk: 2 is 1's Y and loses its box.
void HandScanFormTest::dragWritesTheSelectedPairsAndTheDeskFollows()
{
    for (const char* name : {"CheckBox1", "CheckBox2", "CheckBox9"})
        clickCheckBox(box(name));
    openPad();
    QWidget* marker = w->find<QWidget>("ShapeCentr");

    padMouse(QTest::MousePress, {10, 20});
    QCOMPARE(box("CheckBoxX")->text(), QStringLiteral("X=10"));
    QCOMPARE(box("CheckBoxY")->text(), QStringLiteral("Y=235"));
    QCOMPARE(marker->pos(), pad()->pos() + QPoint(1, 11));
    QCOMPARE(int(level(1)), 10);
    QCOMPARE(int(level(2)), 235);
    QCOMPARE(int(level(9)), 10);
    QCOMPARE(int(level(10)), 235);
    QVERIFY(box("CheckBox1")->isChecked());
    QVERIFY(!box("CheckBox2")->isChecked());
    QCOMPARE(w->bar("ScrollBar1")->value(), 10);   // the desk follows
    QCOMPARE(w->bar("ScrollBar2")->value(), 235);

    padMouse(QTest::MouseMove, {200, 100});
    padMouse(QTest::MouseRelease, {200, 100});
    QCOMPARE(int(level(1)), 200);
    QCOMPARE(int(level(2)), 155);
    QCOMPARE(w->console.controls.handX, 200);
    QCOMPARE(w->console.controls.handY, 155);

    // Without a button only the captions follow.
    padMouse(QTest::MouseMove, {50, 60});
    QCOMPARE(box("CheckBoxX")->text(), QStringLiteral("X=50"));
    QCOMPARE(int(level(1)), 200);
    QCOMPARE(w->console.controls.handX, 200);
    QCOMPARE(marker->pos(), pad()->pos() + QPoint(191, 91));
}

void HandScanFormTest::invertAndSwapBoxes()
{
    openPad();
    clickCheckBox(box("CheckBoxX"));
    clickCheckBox(box("CheckBoxY"));
    padMouse(QTest::MousePress, {0, 0});
    padMouse(QTest::MouseRelease, {0, 0});
    QCOMPARE(box("CheckBoxX")->text(), QStringLiteral("X=255"));
    QCOMPARE(box("CheckBoxY")->text(), QStringLiteral("Y=0"));
    clickCheckBox(box("CheckBoxX_Y"));
    padMouse(QTest::MousePress, {0, 0});
    padMouse(QTest::MouseRelease, {0, 0});
    QCOMPARE(box("CheckBoxX")->text(), QStringLiteral("X=0"));
    QCOMPARE(box("CheckBoxY")->text(), QStringLiteral("Y=255"));
}

// Nothing in the main window opens this face; the start code is kept in the show only.
void HandScanFormTest::zeroChannelFace()
{
    w->console.image[ShowImage::kStartCode] = 77;
    scan()->ZeroDmxItemClick();
    QVERIFY(QTest::qWaitForWindowActive(scan()));
    QCOMPARE(scan()->palette().color(QPalette::Window), QColor(192, 220, 192));
    QVERIFY(!w->find<QGroupBox>("GroupBoxXY")->isVisible());
    auto* group = w->find<QGroupBox>("GroupBoxZero");
    QVERIFY(group->isVisible());
    QCOMPARE(group->title(), QStringLiteral(" Установка нулевого канала строки DMX512 "));
    QCOMPARE(w->bar("ScrollBarZero")->value(), 77);
    QCOMPARE(w->text("LabelZero"), QStringLiteral("77"));
    auto* memo = w->find<QPlainTextEdit>("MemoZero");
    QVERIFY(memo->isReadOnly());
    QCOMPARE(memo->document()->blockCount(), 14);
    // All of it shown, no line wrapped or scrolled away.
    QVERIFY(memo->viewport()->height() >= memo->fontMetrics().lineSpacing() * 14);
    QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::NoWrap);

    w->bar("ScrollBarZero")->setValue(5);
    QCOMPARE(int(w->console.image[ShowImage::kStartCode]), 5);
    QCOMPARE(w->text("LabelZero"), QStringLiteral("5"));
    w->console.output.OutputTick();
    QCOMPARE(int(w->console.dmx.OutputFrame[0]), 0);

    // The pad face again, from the menu.
    activateMainWindow();
    openPad();
    QVERIFY(w->find<QGroupBox>("GroupBoxXY")->isVisible());
    QVERIFY(!group->isVisible());
}

void HandScanFormTest::everythingFits()
{
    openPad();
    const QRect inside = scan()->rect();
    for (const char* name : {"ShapeXY", "CheckBoxX", "CheckBoxY", "CheckBoxX_Y", "CheckBoxManualArea"}) {
        QWidget* widget = w->find<QWidget>(name);
        const QRect r(widget->mapTo(scan(), QPoint()), widget->size());
        QVERIFY2(inside.contains(r), name);
        QVERIFY2(widget->width() >= widget->sizeHint().width(), name);
    }
    // The widest captions still fit their boxes.
    QCheckBox* x = box("CheckBoxX");
    QVERIFY(x->width() >= x->fontMetrics().horizontalAdvance(QStringLiteral("X=255")) + 20);
}

TAVRELIA_TEST_MAIN(HandScanFormTest)
#include "hand_scan_form_test.moc"
