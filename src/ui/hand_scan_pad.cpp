#include "hand_scan_pad.h"

#include <QPainter>

namespace tavrelia {

HandScanPad::HandScanPad(QWidget* parent) : MousePad(parent)
{
    setFixedSize(kSide, kSide);
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

}  // namespace tavrelia
