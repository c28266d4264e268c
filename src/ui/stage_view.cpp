#include "stage_view.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QSurfaceFormat>

namespace tavrelia {

StageView::StageView(QWidget* parent) : QOpenGLWidget(parent)
{
    setObjectName(QStringLiteral("StageView"));
}

StageView::~StageView()
{
    releaseGL();
    // The context goes with the base class, after this part of the widget: its last
    // signal must not call back into it.
    if (context())
        disconnect(context(), nullptr, this, nullptr);
}

void StageView::requestDefaultFormat()
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(2, 1);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    QSurfaceFormat::setDefaultFormat(format);
}

bool StageView::available()
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return false;
    // Fixed-function drawing needs desktop GL, not GLES.
    if (QOpenGLContext::openGLModuleType() != QOpenGLContext::LibGL)
        return false;
    QOpenGLContext probe;
    if (!probe.create())
        return false;
    QOffscreenSurface surface;
    surface.setFormat(probe.format());
    surface.create();
    const bool current = surface.isValid() && probe.makeCurrent(&surface);
    if (current)
        probe.doneCurrent();
    return current;
}

void StageView::showFrame(const DeviceTables& devices)
{
    devices_ = devices;
    update();
}

void StageView::initializeGL()
{
    // A new context (the widget was moved to another window): the old one takes its
    // quadrics with it.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &StageView::releaseGL,
            Qt::UniqueConnection);
    renderer_.initialize();
}

void StageView::resizeGL(int width, int height)
{
    const qreal ratio = devicePixelRatioF();
    renderer_.setProjection(qRound(width * ratio), qRound(height * ratio));
}

void StageView::paintGL()
{
    renderer_.render(devices_);
    ++framesDrawn_;
}

void StageView::releaseGL()
{
    if (!context())
        return;
    makeCurrent();
    renderer_.release();
    doneCurrent();
}

}  // namespace tavrelia
