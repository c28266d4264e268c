#include "beat_lamp.h"

#include <QPainter>

namespace tavrelia {

BeatLampShape::BeatLampShape(QWidget* parent) : QWidget(parent) {}

void BeatLampShape::setBrushColor(const QColor& color)
{
    brush_ = color;
    update();
}

void BeatLampShape::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), brush_);
}

}  // namespace tavrelia
