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
    if (frame_ == Frame::Rounded) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.drawRoundedRect(outline, 4, 4);
    } else {
        painter.drawRect(outline);
    }
}

}  // namespace tavrelia
