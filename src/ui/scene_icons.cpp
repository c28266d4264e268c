#include "scene_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tavrelia {

namespace {

constexpr int kSize = 40;   // drawn at twice the tool bar's 20 px for sharp scaling

const QColor kInk(60, 60, 70);
const QColor kAdd(0, 140, 40);
const QColor kRemove(200, 30, 30);
const QColor kBuffer(40, 90, 190);

// A scene record: a card with three level bars, or empty.
void drawCard(QPainter& p, QRectF card, bool withLevels)
{
    p.setPen(QPen(kInk, 2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(card, 3, 3);
    if (!withLevels)
        return;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 170, 30));
    const qreal w = card.width() / 5;
    const qreal heights[] = {0.45, 0.75, 0.3};
    for (int i = 0; i < 3; ++i) {
        const qreal h = (card.height() - 8) * heights[i];
        p.drawRect(QRectF(card.left() + w * (0.6 + 1.3 * i), card.bottom() - 4 - h, w, h));
    }
}

void drawPlus(QPainter& p, QPointF centre)
{
    p.setPen(QPen(kAdd, 5, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(centre + QPointF(-8, 0), centre + QPointF(8, 0));
    p.drawLine(centre + QPointF(0, -8), centre + QPointF(0, 8));
}

void drawArrow(QPainter& p, QPointF from, QPointF to, const QColor& colour)
{
    p.setPen(QPen(colour, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const QLineF back(to, from);
    QLineF wing = back;
    wing.setLength(7);
    for (qreal angle : {35.0, -35.0}) {
        QLineF side = wing;
        side.setAngle(back.angle() + angle);
        p.drawLine(side);
    }
}

// The one-scene buffer: a tray.
void drawTray(QPainter& p, QRectF tray)
{
    p.setPen(QPen(kBuffer, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(tray.topLeft());
    path.lineTo(tray.bottomLeft());
    path.lineTo(tray.bottomRight());
    path.lineTo(tray.topRight());
    p.drawPath(path);
}

void draw(QPainter& p, SceneGlyph glyph)
{
    const QRectF card(6, 4, 22, 28);
    switch (glyph) {
    case SceneGlyph::Insert:
        drawCard(p, card, true);
        drawPlus(p, {30, 30});
        break;
    case SceneGlyph::Delete:
        drawCard(p, card, true);
        p.setPen(QPen(kRemove, 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(23, 23), QPointF(36, 36));
        p.drawLine(QPointF(36, 23), QPointF(23, 36));
        break;
    case SceneGlyph::Clear:
        drawCard(p, card, false);
        p.setPen(QPen(kRemove, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(22, 36), QPointF(37, 21));
        break;
    case SceneGlyph::CopyPrevious:
        drawCard(p, QRectF(2, 4, 16, 22), true);
        drawCard(p, QRectF(22, 14, 16, 22), false);
        drawArrow(p, {12, 32}, {21, 32}, kAdd);
        break;
    case SceneGlyph::CopyToBuffer:
        drawCard(p, QRectF(10, 2, 20, 22), true);
        drawTray(p, QRectF(6, 28, 28, 9));
        drawArrow(p, {20, 14}, {20, 33}, kBuffer);
        break;
    case SceneGlyph::PasteReplace:
        drawCard(p, QRectF(10, 2, 20, 22), false);
        drawTray(p, QRectF(6, 28, 28, 9));
        drawArrow(p, {20, 34}, {20, 12}, kBuffer);
        break;
    case SceneGlyph::PasteNew:
        drawCard(p, QRectF(4, 2, 20, 22), false);
        drawTray(p, QRectF(2, 28, 28, 9));
        drawArrow(p, {14, 34}, {14, 12}, kBuffer);
        drawPlus(p, {31, 11});
        break;
    case SceneGlyph::AutoAdd:
        drawCard(p, QRectF(2, 4, 16, 22), true);
        drawCard(p, QRectF(20, 4, 16, 22), true);
        drawPlus(p, {30, 30});
        break;
    }
}

}  // namespace

QIcon sceneIcon(SceneGlyph glyph)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter, glyph);
    }
    return QIcon(pixmap);
}

}  // namespace tavrelia
