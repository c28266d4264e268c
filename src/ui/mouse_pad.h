#pragma once

#include <QWidget>

namespace tavrelia {

// A paint box that reports the mouse in its own pixels, buttons held or not: the
// base of the editing pads.
class MousePad : public QWidget {
    Q_OBJECT
public:
    explicit MousePad(QWidget* parent);

signals:
    void pressed(Qt::MouseButton button, QPoint at);
    void moved(QPoint at);
    void released();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace tavrelia
