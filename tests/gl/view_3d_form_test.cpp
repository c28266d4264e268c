// The 3D window in the real main window under Xvfb: opening, the square, the frames
// that follow the output tick, and devices placed through the options tab.

#include <QCheckBox>
#include <QImage>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

#include "gl_test_main.h"
#include "hand_scan_form.h"
#include "pixels.h"
#include "scripted_dialogs.h"
#include "stage_view.h"
#include "view_3d_form.h"
#include "window_fixture.h"

using namespace tavrelia;
using tavrelia::test::countPixels;
using tavrelia::test::saveShot;
using tavrelia::test::ScriptedDialogs;
using tavrelia::test::Window;

class View3DFormTest : public QObject {
    Q_OBJECT
private slots:
    void opensSquareAndIsReused();
    void firstFrameFillsTheSquare();
    void drawsOnlyAfterATick();
    void placedParLightsFromTheOutput();
    void drawsWhileTheShowPlays();

private:
    static Tform3Dtavr* open(Window& w)
    {
        w.click("SpeedButton3Don");
        auto* viewer = w.find<Tform3Dtavr>("Tform3Dtavr");
        if (!QTest::qWaitForWindowExposed(viewer))
            qWarning("the 3D window was not exposed");
        return viewer;
    }
    // The placement controls, as the operator uses them.
    static void place(Window& w, int slot, const char* typeButton, int x, int y, int z)
    {
        w.bar("ScrollBarNomberDev")->setValue(slot);
        w.find<QCheckBox>("CheckBoxEnableRecord")->setChecked(true);
        w.click(typeButton);
        w.bar("ScrollBarXdev")->setValue(x);
        w.bar("ScrollBarYdev")->setValue(y);
        w.bar("ScrollBarZdev")->setValue(z);
    }
};

void View3DFormTest::opensSquareAndIsReused()
{
    Window w;
    auto* viewer = w.find<Tform3Dtavr>("Tform3Dtavr");
    QVERIFY(!viewer->isVisible());
    QVERIFY(!viewer->view());   // nothing GL until it is wanted
    open(w);
    QCOMPARE(viewer->windowTitle(), QStringLiteral("3D wiever"));
    QVERIFY(viewer->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!(viewer->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    StageView* view = viewer->view();
    QVERIFY(view);
    QTRY_COMPARE(viewer->size(), QSize(325, 325));

    viewer->resize(400, 200);
    QTRY_COMPARE(viewer->size(), QSize(400, 400));
    QCOMPARE(view->grabFramebuffer().size(), QSize(400, 400));

    viewer->close();
    QVERIFY(!viewer->isVisible());
    open(w);
    QVERIFY(viewer->isVisible());
    QCOMPARE(viewer->view(), view);
    QCOMPARE(w.form.findChildren<Tform3Dtavr*>().size(), 1);
}

// What the first opening puts on the screen is the picture every later frame draws:
// the whole square window, not a shorter picture stretched over it.
void View3DFormTest::firstFrameFillsTheSquare()
{
    Window w;
    w.console.deviceFeed.RedrawRequest = true;
    Tform3Dtavr* viewer = open(w);
    StageView* view = viewer->view();
    QTRY_VERIFY(view->framesDrawn() > 0);
    QCOMPARE(view->size(), QSize(325, 325));
    // What the X server shows of the window, after the first frame and after a frame
    // drawn for a resize.
    const auto onScreen = [&] {
        QTest::qWait(150);   // the frame's way to the server
        return viewer->screen()->grabWindow(viewer->winId()).toImage();
    };
    const QImage first = onScreen();
    saveShot(first, QStringLiteral("first_frame"));
    viewer->resize(330, 330);
    QTRY_COMPARE(view->size(), QSize(330, 330));
    viewer->resize(325, 325);
    QTRY_COMPARE(view->size(), QSize(325, 325));
    const QImage later = onScreen();
    QCOMPARE(first.size(), QSize(325, 325));
    QVERIFY(first == later);
}

// The 33 ms check draws only when a tick has asked for it, and not at all while closed.
void View3DFormTest::drawsOnlyAfterATick()
{
    Window w;
    Tform3Dtavr* viewer = open(w);
    auto* timer = viewer->findChild<QTimer*>("Timer3D");
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 33);
    w.console.deviceFeed.RedrawRequest = false;
    QTest::qWait(150);
    const int settled = viewer->view()->framesDrawn();
    QTest::qWait(200);
    QCOMPARE(viewer->view()->framesDrawn(), settled);

    w.console.output.OutputTick();
    QTRY_VERIFY(viewer->view()->framesDrawn() > settled);
    QVERIFY(!w.console.deviceFeed.RedrawRequest);

    viewer->close();
    QVERIFY(!timer->isActive());
}

// Device 19 is a PAR on slot 1 in red: placed on the options tab, lit from the scene.
void View3DFormTest::placedParLightsFromTheOutput()
{
    Window w;
    place(w, 19, "SpeedButtonpar", 127, 127, 127);
    {
        auto guard = w.console.lock();
        QCOMPARE(int(w.console.deviceFeed.DevType[19]), 3);
        QCOMPARE(int(w.console.deviceFeed.DevY[19]), 128);
    }
    Tform3Dtavr* viewer = open(w);
    auto frameAfterTick = [&] {
        const int before = viewer->view()->framesDrawn();
        w.console.output.OutputTick();
        QTRY_VERIFY(viewer->view()->framesDrawn() > before);
    };

    w.console.image.DataWrite(0, 1, 255);
    frameAfterTick();
    const QImage lit = viewer->view()->grabFramebuffer();
    QVERIFY2(countPixels(lit) > 200, qPrintable(QString::number(countPixels(lit))));

    w.console.image.DataWrite(0, 1, 0);
    frameAfterTick();
    QCOMPARE(countPixels(viewer->view()->grabFramebuffer()), 0);
}

// The real output thread and a playing show: frames keep coming, as many as ticks at
// most, and the close sequence closes the window.
void View3DFormTest::drawsWhileTheShowPlays()
{
    ScriptedDialogs dialogs;   // the close sequence's save dialog is cancelled
    Window w;
    w.form.FormCreate();
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    w.form.pageControlInput()->setCurrentWidget(w.form.inputPage(TBaseForm::InputTab::Opcii));
    w.find<QCheckBox>("CheckBoxNoUSBconnect")->setChecked(true);
    // A head, a scanner, a strobe head and four PAR cans along the rig.
    place(w, 1, "SpeedButtonDev3D", 60, 40, 127);
    place(w, 7, "SpeedButtonscan", 127, 40, 127);
    place(w, 13, "SpeedButtonDev3D", 195, 40, 127);
    for (int i = 0; i < 4; ++i)
        place(w, 19 + i, "SpeedButtonpar", 50 + 50 * i, 220, 200);
    {
        auto guard = w.console.lock();
        for (int scene = 0; scene < 2; ++scene) {
            ShowImage& image = w.console.image;
            for (int c = 1; c <= 4; ++c)
                image.DataWrite(scene, c, scene == 0 ? 255 : 120);
            image.DataWrite(scene, 18, 0);          // head 1: full intensity, inverted
            image.DataWrite(scene, 21, 80 + 60 * scene);   // its pan
            image.DataWrite(scene, 24, 255);        // no red, inverted
            image.DataWrite(scene, 102, 255);       // scanner 7 full, wheel green
            image.DataWrite(scene, 103, 50);
            image.DataWrite(scene, 106, 100 + 50 * scene);
            image.DataWrite(scene, 193, 255);       // head 13: blue only, strobing
            image.DataWrite(scene, 192, 255);
            image.DataWrite(scene, 194, 200);
            image.DataWrite(scene, 197, 150 - 40 * scene);
        }
        w.console.image[ShowImage::kLastScene] = 1;
    }
    w.form.ReturnPageControlAll();
    w.click("SpeedButtonPlay");
    Tform3Dtavr* viewer = open(w);
    const int start = viewer->view()->framesDrawn();
    QTest::qWait(1500);
    const int frames = viewer->view()->framesDrawn() - start;
    // About 20 ticks a second; a loaded machine may lose a few, never add any.
    QVERIFY2(frames >= 10 && frames <= 40, qPrintable(QString::number(frames)));
    QVERIFY(countPixels(viewer->view()->grabFramebuffer()) > 500);
    saveShot(viewer->view()->grabFramebuffer(), QStringLiteral("viewer_playing"));
    saveShot(w.form.grab().toImage(), QStringLiteral("options_tab"));

    auto* handScan = w.find<THandScanForm>("THandScanForm");
    handScan->AreaItemClick();
    QVERIFY(QTest::qWaitForWindowExposed(handScan));
    saveShot(handScan->grab().toImage(), QStringLiteral("hand_scan"));
    handScan->ZeroDmxItemClick();
    saveShot(handScan->grab().toImage(), QStringLiteral("hand_scan_zero"));

    w.form.close();
    QVERIFY(!viewer->isVisible());
}

TAVRELIA_GL_TEST_MAIN(View3DFormTest)
#include "view_3d_form_test.moc"
