#pragma once

#include "mouse_pad.h"

#include "editing/level_graph.h"

namespace tavrelia {

class Console;

// The level graph's paint box (PaintBoxGrafik), 512 x 256: one column per scene of
// the page, its level a yellow bar from the bottom, drawn from the show on every
// paint. A blue edge marks the first scene after the show, a green line the
// current scene and a red square the line tool's start.
class GraphPad : public MousePad {
    Q_OBJECT
public:
    explicit GraphPad(Console& console, QWidget* parent);

    // What the pad shows; repaints all of it.
    void showPage(int page, int channelPosition);
    // Repaints the columns of these scenes that are on the page (wrapped spans
    // cover the whole page) and the line start's marker, old and new.
    void scenesChanged(SceneSpan scenes, int oldLineStart);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect columnsOf(int first, int last) const;

    Console& console_;
    LevelGraph& graph_;
    int page_ = 0;
    int channel_ = 0;
};

}  // namespace tavrelia
