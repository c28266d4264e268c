#pragma once

#include <QWidget>

#include "editing/beam_editor.h"
#include "mouse_pad.h"

namespace tavrelia {

class Console;

// The grid under the beam editor's pad (PaintBoxGrid): the centre cross in black
// and a grey line every 16 levels.
class XyGrid : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSide = 256;
    explicit XyGrid(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The beam editor's pad (PaintBoxXY), a 256 x 256 picture of the range's path
// drawn from the show on every paint: the first point a lime square, every
// further point a green square joined to the one before, the last point red.
// Level y is row 255 - y.
class XyPad : public MousePad {
    Q_OBJECT
public:
    XyPad(Console& console, XyGrid* grid);

    // What the pad shows; repaints all of it.
    void showPath(SceneRange range, XyPair pair);
    // One point moved: repaints its squares and the lines to its neighbours.
    void pointMoved(int scene, XyPoint from);
    // Pad position of a level point, and the level point under a pad position
    // (clamped to the pad).
    static QPoint pixelOf(XyPoint p) { return {p.x, 255 - p.y}; }
    static XyPoint levelsAt(QPoint pixel);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Console& console_;
    SceneRange range_;
    XyPair pair_;
};

}  // namespace tavrelia
