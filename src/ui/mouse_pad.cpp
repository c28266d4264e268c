#include "mouse_pad.h"

#include <QMouseEvent>

namespace tavrelia {

MousePad::MousePad(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
}

void MousePad::mousePressEvent(QMouseEvent* event)
{
    emit pressed(event->button(), event->position().toPoint());
}

void MousePad::mouseMoveEvent(QMouseEvent* event)
{
    emit moved(event->position().toPoint());
}

void MousePad::mouseReleaseEvent(QMouseEvent*)
{
    emit released();
}

}  // namespace tavrelia
