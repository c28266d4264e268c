#include "graph_pad.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

#include "console.h"

namespace tavrelia {

namespace {
const QColor kSky(50, 150, 150);
const QColor kBar(255, 255, 10);
constexpr int kMarkerHalf = 3;
constexpr int kBottom = 255;   // bars stop short of the last row
}  // namespace

GraphPad::GraphPad(Console& console, QWidget* parent)
    : MousePad(parent), console_(console), graph_(console.levelGraph)
{
    setObjectName(QStringLiteral("PaintBoxGrafik"));
    setFixedSize(LevelGraph::kWidth, LevelGraph::kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GraphPad::showPage(int page, int channelPosition)
{
    page_ = page;
    channel_ = channelPosition;
    update();
}

void GraphPad::paintEvent(QPaintEvent* event)
{
    const LevelGraph::Page shown = graph_.page(page_, channel_);
    const int w = graph_.columnWidth();
    const QRect dirty = event->rect();
    QPainter painter(this);
    painter.fillRect(dirty, palette().window());
    // Columns are drawn left to right, each over the marker its left neighbour
    // spilled: a part of the pad is drawn with the neighbours the marker reaches.
    const int reach = kMarkerHalf / w + 1;
    const int firstColumn = std::max(0, dirty.left() / w - reach);
    const int lastColumn = std::min(shown.count - 1, dirty.right() / w + reach);
    for (int column = firstColumn; column <= lastColumn; ++column) {
        const int scene = shown.first + column;
        const int x = column * w;
        const int top = 255 - shown.levels[column];
        painter.fillRect(QRect(QPoint(x, 0), QPoint(x + w - 1, top - 1)), kSky);
        painter.fillRect(QRect(QPoint(x, top), QPoint(x + w - 1, kBottom - 1)), kBar);
        if (scene == shown.lastScene + 1)
            painter.fillRect(x, 0, 2, kBottom, Qt::blue);
        const int middle = x + w / 2;
        if (scene == shown.currentScene)
            painter.fillRect(middle - 1, 0, 1, kBottom, Qt::green);
        if (scene == shown.lineStart)
            painter.fillRect(middle - kMarkerHalf, top - kMarkerHalf, 2 * kMarkerHalf,
                             2 * kMarkerHalf, Qt::red);
    }
}

QRect GraphPad::columnsOf(int first, int last) const
{
    const int w = graph_.columnWidth();
    const int start = graph_.pageStart(page_);
    const int from = std::max(first, start) - start;
    const int to = std::min(last, start + graph_.pageScenes() - 1) - start;
    if (to < from)
        return {};
    // The line start's marker reaches a little into the neighbours.
    return QRect(from * w - kMarkerHalf, 0, (to - from + 1) * w + 2 * kMarkerHalf, height());
}

void GraphPad::scenesChanged(SceneSpan scenes, int oldLineStart)
{
    QRect dirty = scenes.empty() ? QRect() : columnsOf(scenes.first, scenes.last);
    for (int scene : {oldLineStart, graph_.GraphLineStart})
        dirty |= columnsOf(scene, scene);
    if (!dirty.isEmpty())
        update(dirty);
}

}  // namespace tavrelia
