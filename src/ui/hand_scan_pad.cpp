#include "hand_scan_pad.h"

#include <QMouseEvent>
#include <QPainter>

namespace tavrelia {

HandScanPad::HandScanPad(QWidget* parent) : QWidget(parent)
{
    setFixedSize(kSide, kSide);
    // Moves without a button still update the captions.
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
}

void HandScanPad::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Dark), 1, Qt::DotLine));
    painter.drawLine(kSide / 2, 0, kSide / 2, kSide - 1);
    painter.drawLine(0, kSide / 2, kSide - 1, kSide / 2);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void HandScanPad::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    emit pressed(p.x(), p.y());
}

void HandScanPad::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    emit moved(p.x(), p.y());
}

void HandScanPad::mouseReleaseEvent(QMouseEvent*)
{
    emit released();
}

}  // namespace tavrelia
