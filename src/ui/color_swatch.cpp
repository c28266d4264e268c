#include "color_swatch.h"

#include <QPainter>

namespace tavrelia {

ColorSwatch::ColorSwatch(QWidget* parent, Frame frame) : QWidget(parent), frame_(frame) {}

void ColorSwatch::setBrushColor(const QColor& color)
{
    // Repainted only on a real change: the desk refresh sets it ten times a second.
    if (color == brush_)
        return;
    brush_ = color;
    update();
}

void ColorSwatch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (frame_ == Frame::Plain) {
        painter.fillRect(rect(), brush_);
        return;
    }
    painter.setPen(palette().color(QPalette::Dark));
    painter.setBrush(brush_);
    const QRect outline = rect().adjusted(0, 0, -1, -1);
    painter.setRenderHint(QPainter::Antialiasing, frame_ != Frame::Outlined);
    switch (frame_) {
    case Frame::Rounded:
        painter.drawRoundedRect(outline, 4, 4);
        break;
    case Frame::Round:
        painter.drawEllipse(outline);
        break;
    default:
        painter.drawRect(outline);
        break;
    }
}

}  // namespace tavrelia
