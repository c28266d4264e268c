#pragma once

#include <QWidget>

namespace tavrelia {

// The 256 x 256 pad of the hand scan window. It paints only its outline, so the
// marker behind it shows through, and passes the mouse on in pad coordinates.
class HandScanPad : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSide = 256;
    explicit HandScanPad(QWidget* parent = nullptr);

signals:
    void pressed(int column, int row);
    void moved(int column, int row);
    void released();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace tavrelia
