#include "view_3d_form.h"

#include <QLabel>
#include <QResizeEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "base_form.h"
#include "console.h"
#include "stage_view.h"

namespace tavrelia {

Tform3Dtavr::Tform3Dtavr(TBaseForm& form)
    : QWidget(&form, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                         | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                         | Qt::WindowStaysOnTopHint),
      console_(form.console())
{
    setObjectName(QStringLiteral("Tform3Dtavr"));
    setWindowTitle(QStringLiteral("3D wiever"));
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    black.setColor(QPalette::WindowText, Qt::white);
    setPalette(black);
    setAutoFillBackground(true);
    // Square from the start: a squaring resize made while the window is first shown
    // would never reach its layout, and the first picture would be drawn short.
    resize(kWidth, kWidth);

    timer3D_ = new QTimer(this);
    timer3D_->setObjectName(QStringLiteral("Timer3D"));
    timer3D_->setInterval(kFramePeriodMs);
    connect(timer3D_, &QTimer::timeout, this, &Tform3Dtavr::Timer3DTimer);

    connect(&form, &TBaseForm::closeWindows, this, &QWidget::close);
}

void Tform3Dtavr::open()
{
    if (!view_ && !noGl_)
        buildContent();
    show();
    raise();
}

// Made before the window is first shown, so that it gets a GL surface from the start.
void Tform3Dtavr::buildContent()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (StageView::available()) {
        view_ = new StageView(this);
        layout->addWidget(view_);
        return;
    }
    noGl_ = new QLabel(QStringLiteral("Этот дисплей не даёт OpenGL: 3D вид недоступен."), this);
    noGl_->setObjectName(QStringLiteral("LabelNoOpenGL"));
    noGl_->setAlignment(Qt::AlignCenter);
    noGl_->setWordWrap(true);
    layout->addWidget(noGl_);
}

void Tform3Dtavr::Timer3DTimer()
{
    DeviceFeed& feed = console_.deviceFeed;
    if (!view_ || !feed.RedrawRequest.exchange(false))
        return;
    DeviceTables frame;
    {
        auto guard = console_.lock();
        frame = feed.snapshot();
    }
    view_->showFrame(frame);
}

// FormResize: the window stays square, its width rules.
void Tform3Dtavr::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (event->size().height() != event->size().width())
        resize(event->size().width(), event->size().width());
}

// The 33 ms check runs only while there is a window to draw in.
void Tform3Dtavr::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (view_)
        timer3D_->start();
}

void Tform3Dtavr::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    timer3D_->stop();
}

}  // namespace tavrelia
