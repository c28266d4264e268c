#include "xy_pad.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

#include "console.h"

namespace tavrelia {

namespace {
const QColor kGrey(128, 128, 128);
const QColor kLime(0, 255, 0);
const QColor kGreen(0, 128, 0);
constexpr int kGridStep = 16;
constexpr int kCentre = 127;
// Half the first point's square, and the room a point's squares need around it.
constexpr int kFirstHalf = 4;
constexpr int kPointHalf = 3;
constexpr int kMargin = kFirstHalf + 2;

void square(QPainter& painter, QPoint at, int half, const QColor& fill)
{
    painter.setBrush(fill);
    // With the one-pixel pen the square covers at - half .. at + half - 1.
    painter.drawRect(at.x() - half, at.y() - half, 2 * half - 1, 2 * half - 1);
}
}  // namespace

XyGrid::XyGrid(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PaintBoxGrid"));
    setFixedSize(kSide, kSide);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void XyGrid::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    painter.setPen(kGrey);
    for (int d = kGridStep; d < kCentre; d += kGridStep) {
        for (int at : {kCentre + d, kCentre - d}) {
            painter.drawLine(at, 0, at, kSide - 1);
            painter.drawLine(0, at, kSide - 1, at);
        }
    }
    painter.setPen(Qt::black);
    painter.drawLine(kCentre, 0, kCentre, kSide - 1);
    painter.drawLine(0, kCentre, kSide - 1, kCentre);
}

XyPad::XyPad(Console& console, XyGrid* grid) : MousePad(grid), console_(console)
{
    setObjectName(QStringLiteral("PaintBoxXY"));
    setToolTip(QStringLiteral("Переместить сцену в X-Y"));
    setFixedSize(XyGrid::kSide, XyGrid::kSide);
}

void XyPad::showPath(SceneRange range, XyPair pair)
{
    range_ = range;
    pair_ = pair;
    update();
}

XyPoint XyPad::levelsAt(QPoint pixel)
{
    return {std::clamp(pixel.x(), 0, 255), 255 - std::clamp(pixel.y(), 0, 255)};
}

void XyPad::paintEvent(QPaintEvent*)
{
    const std::vector<XyPoint> path = console_.beamEditor.path(range_, pair_);
    if (path.empty())
        return;
    QPainter painter(this);
    painter.setPen(Qt::blue);
    QPoint previous = pixelOf(path.front());
    square(painter, previous, kFirstHalf, kLime);
    for (size_t k = 1; k < path.size(); ++k) {
        const QPoint at = pixelOf(path[k]);
        square(painter, at, kPointHalf, kGreen);
        painter.drawLine(previous, at);
        previous = at;
    }
    square(painter, previous, kPointHalf, Qt::red);
}

void XyPad::pointMoved(int scene, XyPoint from)
{
    // The point's squares where it was and is, and both lines that meet it.
    const SceneRange near{std::max(scene, range_.first), std::min(scene + 2, range_.last)};
    QRect dirty(pixelOf(from), QSize(1, 1));
    for (const XyPoint& p : console_.beamEditor.path(near, pair_))
        dirty |= QRect(pixelOf(p), QSize(1, 1));
    update(dirty.adjusted(-kMargin, -kMargin, kMargin, kMargin));
}

}  // namespace tavrelia
