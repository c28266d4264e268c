// The 3D view drawn by Mesa under Xvfb: beams where they must be and nowhere else.

#include <QImage>
#include <QMatrix4x4>
#include <QVector3D>
#include <QtTest>

#include "gl_test_main.h"
#include "pixels.h"
#include "stage_view.h"
#include "view3d/stage_device.h"

using tavrelia::DeviceTables;
using tavrelia::StageView;
using namespace tavrelia::test;

namespace {

constexpr int kSide = 325;

struct Device {
    uint8_t type = 1;
    uint8_t x = 127, y = 127, z = 127;
    uint8_t pan = 127, tilt = 127;
    uint8_t width = 0;
    uint8_t red = 255, green = 0, blue = 0, intensity = 255;
};

DeviceTables place(const Device& d, int slot = 1)
{
    DeviceTables t;
    t.DevType[slot] = d.type;
    t.DevX[slot] = d.x;
    t.DevY[slot] = d.y;
    t.DevZ[slot] = d.z;
    t.DevPan[slot] = d.pan;
    t.DevTilt[slot] = d.tilt;
    t.DevWidth[slot] = d.width;
    t.DevRed[slot] = d.red;
    t.DevGreen[slot] = d.green;
    t.DevBlue[slot] = d.blue;
    t.DevIntensity[slot] = d.intensity;
    return t;
}

// Where a stage point lands in the picture, by the view's own eye and perspective.
QPoint pixelOf(const QVector3D& point, int side = kSide)
{
    QMatrix4x4 m;
    m.perspective(60.0f, 1.0f, 0.01f, 10.0f);
    m.lookAt({0.0f, 0.0f, 2.577f}, {0.0f, 0.0f, -5.0f}, {0.0f, 1.0f, 0.0f});
    const QVector3D ndc = m.map(point);
    return {qRound((ndc.x() + 1) / 2 * side), qRound((1 - ndc.y()) / 2 * side)};
}

}  // namespace

class StageViewTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void beamDirections_data();
    void beamDirections();
    void noLightNoBeam_data();
    void noLightNoBeam();
    void beamIsTranslucent();
    void cleanupTestCase();

private:
    QImage draw(const DeviceTables& devices)
    {
        view->showFrame(devices);
        return view->grabFramebuffer();
    }
    StageView* view = nullptr;
};

void StageViewTest::initTestCase()
{
    QVERIFY2(StageView::available(), "no GL on this display");
    view = new StageView;
    view->resize(kSide, kSide);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view));
}

void StageViewTest::cleanupTestCase()
{
    delete view;
}

void StageViewTest::beamDirections_data()
{
    QTest::addColumn<Device>("device");
    QTest::addColumn<QList<QVector3D>>("lit");
    QTest::addColumn<QList<QVector3D>>("dark");

    // Straight up from the centre; nothing below or beside it.
    QTest::newRow("head at the centre points up")
        << Device{} << QList<QVector3D>{{0, 0.35f, 0}, {0, 0.6f, 0}, {0, 0.9f, 0}}
        << QList<QVector3D>{{0, -0.4f, 0}, {0.4f, 0, 0}, {-0.4f, 0, 0}, {0.2f, 0.6f, 0}};
    // Width 255 opens the same beam to 35 degrees either side of the axis.
    QTest::newRow("wide head beam")
        << Device{.width = 255} << QList<QVector3D>{{0, 0.6f, 0}, {0.2f, 0.6f, 0}, {-0.2f, 0.6f, 0}}
        << QList<QVector3D>{{0, -0.4f, 0}, {0.6f, 0.1f, 0}, {-0.6f, 0.1f, 0}};
    // Tilt 0 turns a head 217 degrees from the viewer: down and away from the viewer.
    const float down = std::sin(qDegreesToRadians(217.0f)), back = std::cos(qDegreesToRadians(217.0f));
    QTest::newRow("head at tilt 0 points down and back")
        << Device{.y = 200, .tilt = 0}
        << QList<QVector3D>{{0, 0.4f * down, 0.4f * back}, {0, 0.8f * down, 0.8f * back}}
        << QList<QVector3D>{{0, 0.3f, 0}, {0.4f, 0, 0}, {0, -0.4f * down, -0.4f * back}};
    // Pan 172 turns a PAR 90 degrees to the right, still 20 degrees above level.
    const float c = std::cos(qDegreesToRadians(20.0f)), s = std::sin(qDegreesToRadians(20.0f));
    QTest::newRow("PAR at pan 172 points right")
        << Device{.type = 3, .pan = 172}
        << QList<QVector3D>{{0.35f * c, 0.35f * s, 0}, {0.6f * c, 0.6f * s, 0}, {0.9f * c, 0.9f * s, 0}}
        << QList<QVector3D>{{-0.6f * c, 0.6f * s, 0}, {0, 0.6f, 0}, {0.6f * c, -0.3f, 0}};
    // An unknown type is not turned: its beam runs along +z, out of the box's open front.
    QTest::newRow("unknown type is not turned")
        << Device{.type = 7, .x = 60, .z = 0} << QList<QVector3D>{{0, 0, 0.5f}, {0, 0, 1.0f}}
        << QList<QVector3D>{{0, 0.5f, 0}, {0.3f, 0, 0}};
}

void StageViewTest::beamDirections()
{
    QFETCH(Device, device);
    QFETCH(QList<QVector3D>, lit);
    QFETCH(QList<QVector3D>, dark);
    const QImage image = draw(place(device));
    saveShot(image, QString::fromUtf8(QTest::currentDataTag()));
    QCOMPARE(image.size(), QSize(kSide, kSide));
    using tavrelia::StageDevice;
    const QVector3D at(StageDevice::coordinate(device.x), StageDevice::coordinate(device.y),
                       StageDevice::coordinate(device.z));
    for (const QVector3D& p : lit) {
        const QPoint px = pixelOf(at + p);
        QVERIFY2(reddish(image.pixel(px)),
                 qPrintable(QStringLiteral("no beam at %1,%2").arg(px.x()).arg(px.y())));
    }
    for (const QVector3D& p : dark) {
        const QPoint px = pixelOf(at + p);
        QVERIFY2(!reddish(image.pixel(px)),
                 qPrintable(QStringLiteral("beam at %1,%2").arg(px.x()).arg(px.y())));
    }
}

void StageViewTest::noLightNoBeam_data()
{
    QTest::addColumn<Device>("device");
    QTest::newRow("intensity 0") << Device{.width = 255, .intensity = 0};
    QTest::newRow("colour 0, 0, 0") << Device{.width = 255, .red = 0};
    QTest::newRow("no device") << Device{.type = 0, .width = 255};
}

// Bodies and lamps are grey: without light nothing in the picture has a colour.
void StageViewTest::noLightNoBeam()
{
    QFETCH(Device, device);
    QCOMPARE(countPixels(draw(place(device))), 0);
}

// Full red at full intensity is about half opaque: the wall behind shows through.
void StageViewTest::beamIsTranslucent()
{
    Device wide{.z = 64, .width = 255};
    const QPoint px = pixelOf({0, 0.5f, -0.5f});   // on the beam's axis, the back wall behind
    const QRgb wall = draw(place(Device{.type = 0})).pixel(px);
    const QRgb lit = draw(place(wide)).pixel(px);
    QVERIFY(qGreen(wall) > 20);
    QVERIFY2(qRed(lit) > 100 && qRed(lit) < 250, qPrintable(QString::number(qRed(lit))));
    QVERIFY2(qGreen(lit) > 0 && qGreen(lit) < qGreen(wall), qPrintable(QString::number(qGreen(lit))));
}

TAVRELIA_GL_TEST_MAIN(StageViewTest)
#include "stage_view_test.moc"
