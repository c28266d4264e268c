// A display that gives no GL at all (a remote X display without GLX): the 3D window
// says so, and the program goes on working.

#include <QCheckBox>
#include <QLabel>
#include <QtTest>

#include "gl_test_main.h"
#include "pixels.h"
#include "stage_view.h"
#include "view_3d_form.h"
#include "window_fixture.h"

using namespace tavrelia;
using tavrelia::test::Window;

class NoGlTest : public QObject {
    Q_OBJECT
private slots:
    void viewerSaysSoAndTheRestWorks();
};

void NoGlTest::viewerSaysSoAndTheRestWorks()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    QVERIFY(!StageView::available());
    Window w;
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    w.click("SpeedButton3Don");
    auto* viewer = w.find<Tform3Dtavr>("Tform3Dtavr");
    QVERIFY(QTest::qWaitForWindowExposed(viewer));
    QVERIFY(!viewer->view());
    auto* text = w.find<QLabel>("LabelNoOpenGL");
    QVERIFY(text->isVisible());
    QVERIFY(viewer->rect().contains(text->geometry()));
    tavrelia::test::saveShot(viewer->grab().toImage(), QStringLiteral("viewer_no_gl"));

    // The output and the placement go on as before.
    w.find<QCheckBox>("CheckBoxEnableRecord")->setChecked(true);
    w.click("SpeedButtonpar");
    w.console.image.DataWrite(0, 1, 99);
    w.console.output.OutputTick();
    QCOMPARE(int(w.console.dmx.OutputFrame[1]), 99);
    QCOMPARE(int(w.console.deviceFeed.DevType[1]), 3);
    viewer->close();
    w.click("SpeedButton3Don");
    QVERIFY(viewer->isVisible());
}

// Qt's X11 platform is told to use no GL integration, as on a display without GLX.
int main(int argc, char* argv[])
{
    qputenv("QT_XCB_GL_INTEGRATION", "none");
    QTemporaryDir home;
    tavrelia::test::isolateEnvironment(home);
    tavrelia::StageView::requestDefaultFormat();
    QApplication app(argc, argv);
    NoGlTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "no_gl_test.moc"
