#include "gobo_pictures.h"

#include <QPainter>
#include <QPolygon>
#include <QTransform>

#include <cmath>
#include <initializer_list>

namespace tavrelia {

namespace {
constexpr int kSide = 16;

const QColor kWhite(255, 255, 255);
const QColor kGrey(128, 128, 128);
const QColor kDim(90, 90, 90);
const QColor kLight(200, 200, 200);
const QColor kRed(230, 0, 0);
const QColor kOrange(255, 140, 0);
const QColor kYellow(255, 230, 0);
const QColor kGreen(0, 210, 0);
const QColor kBlue(40, 90, 255);
const QColor kBrown(140, 80, 30);
const QColor kViolet(170, 70, 255);
const QColor kBlack(0, 0, 0);

// 3 x 5 letters for the labels; each row is three bits, the top row first.
struct Glyph {
    char letter;
    uint8_t rows[5];
};
constexpr Glyph kFont[] = {
    {'B', {6, 5, 6, 5, 6}}, {'C', {7, 4, 4, 4, 7}}, {'E', {7, 4, 6, 4, 7}}, {'K', {5, 5, 6, 5, 5}},
    {'O', {7, 5, 5, 5, 7}}, {'R', {6, 5, 6, 5, 5}}, {'S', {7, 4, 7, 1, 7}}, {'T', {7, 2, 2, 2, 2}},
    {'U', {5, 5, 5, 5, 7}}, {'V', {5, 5, 5, 5, 2}},
};

// A small painter over one 16 x 16 picture: filled shapes are drawn with an outline
// of their own colour, without antialiasing, so every picture is exactly the same
// pixels on every run.
class Canvas {
public:
    explicit Canvas(QImage* image) : painter_(image) {}

    void pixel(int x, int y, const QColor& c) { rect(x, y, 1, 1, c); }
    void rect(int x, int y, int w, int h, const QColor& c) { painter_.fillRect(x, y, w, h, c); }
    void frame(int x, int y, int w, int h, const QColor& c)
    {
        outline(c);
        painter_.drawRect(x, y, w - 1, h - 1);
    }
    // A disk or ellipse covering x .. x + w - 1, y .. y + h - 1.
    void disk(int x, int y, int w, int h, const QColor& c)
    {
        filled(c);
        painter_.drawEllipse(x, y, w - 1, h - 1);
    }
    void ring(int x, int y, int w, int h, const QColor& c)
    {
        outline(c);
        painter_.drawEllipse(x, y, w - 1, h - 1);
    }
    // Angles in degrees, counter-clockwise from three o'clock.
    void pie(int x, int y, int size, int start, int span, const QColor& c)
    {
        filled(c);
        painter_.drawPie(x, y, size - 1, size - 1, start * 16, span * 16);
    }
    void arc(int x, int y, int size, int start, int span, const QColor& c)
    {
        arc(x, y, size, size, start, span, c);
    }
    void arc(int x, int y, int w, int h, int start, int span, const QColor& c)
    {
        outline(c);
        painter_.drawArc(x, y, w - 1, h - 1, start * 16, span * 16);
    }
    void line(int x1, int y1, int x2, int y2, const QColor& c)
    {
        outline(c);
        painter_.drawLine(x1, y1, x2, y2);
    }
    void lines(std::initializer_list<QPoint> points, const QColor& c)
    {
        outline(c);
        painter_.drawPolyline(QPolygon(QList<QPoint>(points)));
    }
    void polygon(const QPolygon& points, const QColor& c)
    {
        filled(c);
        painter_.drawPolygon(points);
    }
    void polygon(std::initializer_list<QPoint> points, const QColor& c)
    {
        polygon(QPolygon(QList<QPoint>(points)), c);
    }
    void text(int x, int y, const char* letters, const QColor& c)
    {
        for (; *letters; ++letters, x += 4) {
            for (const Glyph& g : kFont) {
                if (g.letter != *letters)
                    continue;
                for (int row = 0; row < 5; ++row)
                    for (int col = 0; col < 3; ++col)
                        if (g.rows[row] & (4 >> col))
                            pixel(x + col, y + row, c);
            }
        }
    }
    // Rows of '#' (the colour) and anything else (left as it is), from x, y.
    void sprite(int x, int y, std::initializer_list<const char*> rows, const QColor& c)
    {
        for (const char* row : rows) {
            for (int col = 0; row[col]; ++col)
                if (row[col] == '#')
                    pixel(x + col, y, c);
            ++y;
        }
    }

private:
    void filled(const QColor& c)
    {
        painter_.setPen(c);
        painter_.setBrush(c);
    }
    void outline(const QColor& c)
    {
        painter_.setPen(c);
        painter_.setBrush(Qt::NoBrush);
    }

    QPainter painter_;
};

// An arrow pointing up, turned clockwise by `degrees` about the centre.
QPolygon arrow(int degrees)
{
    const QPolygon up(QList<QPoint>{{8, 1}, {14, 7}, {10, 7}, {10, 14}, {6, 14}, {6, 7}, {2, 7}});
    QTransform turn;
    turn.translate(8, 8).rotate(degrees).translate(-8, -8);
    QPolygon turned;
    for (const QPoint& p : up) {
        const QPointF q = turn.map(QPointF(p));
        turned << QPoint(static_cast<int>(std::lround(q.x())), static_cast<int>(std::lround(q.y())));
    }
    return turned;
}

QPoint onCircle(double cx, double cy, double r, double angle)
{
    return {static_cast<int>(std::lround(cx + r * std::cos(angle))),
            static_cast<int>(std::lround(cy + r * std::sin(angle)))};
}

// Points alternately at the outer and inner radius, the first one straight up.
QPolygon star(int cx, int cy, double outer, double inner, int points)
{
    QPolygon shape;
    for (int i = 0; i < 2 * points; ++i)
        shape << onCircle(cx, cy, i % 2 == 0 ? outer : inner, M_PI * i / points - M_PI / 2);
    return shape;
}

QPolygon regular(int cx, int cy, double r, int corners)
{
    QPolygon shape;
    for (int i = 0; i < corners; ++i)
        shape << onCircle(cx, cy, r, 2 * M_PI * i / corners - M_PI / 2);
    return shape;
}

// Eight short rays around the centre, from radius `from` to `to`.
void rays(Canvas& c, double from, double to, const QColor& color)
{
    for (int i = 0; i < 8; ++i) {
        const double a = M_PI * i / 4;
        const QPoint inner = onCircle(7.5, 7.5, from, a);
        const QPoint outer = onCircle(7.5, 7.5, to, a);
        c.line(inner.x(), inner.y(), outer.x(), outer.y(), color);
    }
}

// A beam of light from a lamp at the top.
void beam(Canvas& c, const QColor& light, int spread)
{
    c.rect(5, 0, 6, 3, kGrey);
    c.polygon({{6, 3}, {9, 3}, {9 + spread, 15}, {6 - spread, 15}}, light);
}

void circularArrow(Canvas& c, const QColor& color, bool clockwise)
{
    c.arc(2, 2, 12, 90, 270, color);
    c.arc(3, 3, 10, 90, 270, color);
    if (clockwise)
        c.polygon({{8, 0}, {12, 3}, {8, 6}}, color);
    else
        c.polygon({{12, 4}, {15, 8}, {9, 8}}, color);
}

void goboRing(Canvas& c)
{
    c.ring(0, 0, 16, 16, kDim);
}

void face(Canvas& c, const QColor& skin, int mood)
{
    c.disk(1, 1, 14, 14, skin);
    c.rect(5, 5, 2, 2, kBlack);
    if (mood == 4)   // wink
        c.line(9, 6, 10, 6, kBlack);
    else
        c.rect(9, 5, 2, 2, kBlack);
    switch (mood) {
    case 0:   // smile
    case 4:
        c.lines({{4, 9}, {5, 11}, {10, 11}, {11, 9}}, kBlack);
        break;
    case 1:   // sad
        c.lines({{4, 12}, {5, 10}, {10, 10}, {11, 12}}, kBlack);
        break;
    case 2:   // neutral
        c.line(5, 10, 10, 10, kBlack);
        break;
    case 3:   // surprised
        c.ring(6, 9, 4, 4, kBlack);
        break;
    default:   // angry
        c.line(4, 3, 7, 5, kBlack);
        c.line(11, 3, 8, 5, kBlack);
        c.lines({{4, 12}, {6, 10}, {9, 10}, {11, 12}}, kBlack);
        break;
    }
}

void padlock(Canvas& c, bool open)
{
    c.arc(open ? 1 : 4, 1, 8, 0, 180, kLight);
    c.arc(open ? 2 : 5, 2, 6, 0, 180, kLight);
    c.line(open ? 8 : 11, 5, open ? 8 : 11, 7, kLight);
    if (!open)
        c.line(4, 5, 4, 7, kLight);
    c.rect(3, 7, 10, 8, kYellow);
    c.rect(7, 9, 2, 3, kBlack);
}

// Colours of the plain disks 13..22 and the patches 54..73.
const QColor kDisks[] = {kWhite,          kRed,           kOrange,        kYellow,
                         kGreen,          QColor(0, 110, 0), QColor(0, 230, 230), kBlue,
                         QColor(230, 0, 230), kGrey};
const QColor kPatches[] = {
    {255, 160, 200}, {220, 20, 100}, {250, 128, 100}, {255, 180, 0},   {255, 255, 120},
    {170, 255, 0},   {150, 255, 180}, {0, 140, 140},  {120, 200, 255}, {70, 110, 170},
    {0, 0, 140},     {75, 0, 180},   {190, 160, 255}, {150, 60, 220},  {120, 0, 120},
    {140, 80, 30},   {128, 128, 0},  {255, 210, 160}, {200, 200, 200}, {70, 70, 70},
};
// Two halves of the split-colour disks 36..41.
const QColor kSplits[][2] = {
    {kRed, kBlue}, {kYellow, kGreen}, {QColor(0, 230, 230), QColor(230, 0, 230)},
    {kOrange, kBlue}, {kRed, kGreen}, {kWhite, kBlue},
};

void beamEffect(Canvas& c, int index)
{
    switch (index) {
    case 0:   // open beam
        beam(c, kWhite, 5);
        break;
    case 3:   // rotation
        circularArrow(c, kWhite, true);
        break;
    case 4:   // rotating beam
        beam(c, kWhite, 2);
        c.arc(0, 9, 16, 6, 180, 180, kOrange);
        c.arc(0, 10, 16, 6, 180, 180, kOrange);
        c.polygon({{12, 10}, {15, 10}, {15, 13}}, kOrange);
        break;
    case 5:   // frosted beam
        beam(c, kLight, 5);
        for (int y = 4; y < 16; y += 2)
            for (int x = (y / 2) % 2; x < 16; x += 2)
                c.pixel(x, y, kBlack);
        break;
    case 6:   // shutter frame
        c.frame(1, 1, 14, 14, kWhite);
        c.polygon({{2, 2}, {13, 2}, {8, 6}}, kGrey);
        c.polygon({{2, 13}, {13, 13}, {8, 10}}, kGrey);
        break;
    case 8:   // gobo with holes
        c.disk(1, 1, 14, 14, kWhite);
        for (const QPoint& p : {QPoint(4, 4), QPoint(10, 4), QPoint(7, 7), QPoint(4, 10), QPoint(10, 10)})
            c.rect(p.x(), p.y(), 2, 2, kBlack);
        break;
    case 9:   // gobo star
        goboRing(c);
        c.polygon(star(8, 8, 6.5, 2.6, 5), kWhite);
        break;
    case 10:   // gobo rings
        c.ring(1, 1, 14, 14, kWhite);
        c.ring(4, 4, 8, 8, kWhite);
        c.disk(7, 7, 2, 2, kWhite);
        break;
    case 11:   // gobo bars
        c.disk(1, 1, 14, 14, kWhite);
        for (int y = 3; y < 14; y += 3)
            c.rect(0, y, 16, 1, kBlack);
        break;
    case 12:   // gobo cut by a cross
        c.disk(1, 1, 14, 14, kWhite);
        c.rect(7, 0, 2, 16, kBlack);
        c.rect(0, 7, 16, 2, kBlack);
        break;
    default:
        break;
    }
}

void goboShape(Canvas& c, int shape)
{
    goboRing(c);
    switch (shape) {
    case 0: c.polygon({{8, 3}, {13, 12}, {3, 12}}, kWhite); break;   // triangle
    case 1: c.rect(4, 4, 8, 8, kWhite); break;                         // square
    case 2: c.polygon({{8, 2}, {13, 8}, {8, 13}, {3, 8}}, kWhite); break;   // diamond
    case 3: c.rect(7, 3, 2, 10, kWhite); c.rect(3, 7, 10, 2, kWhite); break;   // plus
    case 4:   // cross
        for (int d = -1; d <= 1; ++d) {
            c.line(4 + d, 4, 11 + d, 11, kWhite);
            c.line(11 + d, 4, 4 + d, 11, kWhite);
        }
        break;
    case 5: c.disk(3, 3, 10, 10, kWhite); c.disk(6, 2, 9, 9, kBlack); break;   // crescent
    case 6: c.polygon(star(8, 8, 6, 3.5, 6), kWhite); break;                  // six-point star
    case 7:   // three dots
        for (const QPoint& p : {QPoint(6, 2), QPoint(2, 9), QPoint(10, 9)})
            c.disk(p.x(), p.y(), 4, 4, kWhite);
        break;
    case 8:   // spiral
        c.arc(3, 3, 10, 0, 180, kWhite);
        c.arc(3, 5, 8, 180, 180, kWhite);
        c.arc(5, 5, 6, 0, 180, kWhite);
        c.arc(5, 7, 4, 180, 180, kWhite);
        break;
    case 9:   // flower
        for (const QPoint& p : {QPoint(6, 2), QPoint(6, 10), QPoint(2, 6), QPoint(10, 6)})
            c.disk(p.x(), p.y(), 4, 4, kWhite);
        c.disk(6, 6, 4, 4, kGrey);
        break;
    case 10:   // ring of dots
        for (int i = 0; i < 8; ++i) {
            const QPoint at = onCircle(7, 7, 5, M_PI * i / 4);
            c.rect(at.x(), at.y(), 2, 2, kWhite);
        }
        break;
    default:   // half disk
        c.pie(2, 2, 12, 90, 180, kWhite);
        break;
    }
}

void prism(Canvas& c, int kind)
{
    switch (kind) {
    case 0:   // three facets
        c.polygon({{8, 2}, {14, 13}, {2, 13}}, kLight);
        c.line(8, 2, 8, 9, kGrey);
        c.line(2, 13, 8, 9, kGrey);
        c.line(14, 13, 8, 9, kGrey);
        break;
    case 1: {   // five facets
        const QPolygon pentagon = regular(8, 8, 7, 5);
        c.polygon(pentagon, kLight);
        for (const QPoint& p : pentagon)
            c.line(8, 8, p.x(), p.y(), kGrey);
        break;
    }
    case 2:   // linear
        for (int x = 1; x < 15; x += 4)
            c.rect(x, 2, 2, 12, kLight);
        break;
    default:   // rotating prism
        circularArrow(c, kOrange, true);
        c.polygon({{8, 5}, {11, 11}, {5, 11}}, kLight);
        break;
    }
}

void labelled(Canvas& c, int index)
{
    switch (index) {
    case 46: c.text(2, 5, "CTO", kOrange); break;
    case 47: c.text(2, 5, "CTB", QColor(120, 190, 255)); break;
    case 48:   // thermometer
        c.frame(6, 1, 4, 10, kWhite);
        c.rect(7, 5, 2, 6, kRed);
        c.disk(5, 10, 6, 6, kRed);
        break;
    case 49:   // colour temperature scale
        c.text(4, 2, "CT", kWhite);
        for (int x = 1; x < 15; ++x)
            c.rect(x, 10, 1, 4, QColor(255 - 15 * x, 140 + 4 * x, 20 * x));
        break;
    case 50: c.text(4, 5, "UV", kViolet); break;
    case 51:   // ultraviolet lamp
        beam(c, kViolet, 4);
        break;
    case 52: c.text(2, 5, "RES", kWhite); break;
    case 53:   // reset
        c.ring(1, 1, 14, 14, kRed);
        c.text(6, 5, "R", kRed);
        break;
    default:
        break;
    }
}

void strobe(Canvas& c, bool flash)
{
    if (flash) {
        c.polygon({{10, 0}, {3, 9}, {7, 9}, {5, 15}, {13, 6}, {9, 6}}, kYellow);
        return;
    }
    c.rect(4, 6, 8, 4, kWhite);
    rays(c, 5.5, 7.5, kWhite);
}

void arrowPicture(Canvas& c, int index)
{
    if (index < 90) {   // 82..89: up, down, left, right and the diagonals
        static constexpr int kTurns[] = {0, 180, 270, 90, 45, 135, 225, 315};
        c.polygon(arrow(kTurns[index - 82]), kWhite);
        return;
    }
    switch (index) {
    case 90:   // left and right
        c.polygon({{0, 8}, {5, 3}, {5, 13}}, kWhite);
        c.polygon({{15, 8}, {10, 3}, {10, 13}}, kWhite);
        c.rect(5, 7, 6, 3, kWhite);
        break;
    case 91:   // up and down
        c.polygon({{8, 0}, {3, 5}, {13, 5}}, kWhite);
        c.polygon({{8, 15}, {3, 10}, {13, 10}}, kWhite);
        c.rect(7, 5, 3, 6, kWhite);
        break;
    case 92: circularArrow(c, kGreen, true); break;
    case 93: circularArrow(c, kGreen, false); break;
    case 94:   // to the start
        c.rect(2, 3, 2, 10, kWhite);
        c.polygon({{4, 8}, {13, 3}, {13, 13}}, kWhite);
        break;
    default:   // to the end
        c.rect(12, 3, 2, 10, kWhite);
        c.polygon({{11, 8}, {2, 3}, {2, 13}}, kWhite);
        break;
    }
}

void household(Canvas& c, int index)
{
    switch (index) {
    case 96:   // house
        c.rect(3, 8, 10, 7, kWhite);
        c.polygon({{8, 1}, {15, 8}, {1, 8}}, kRed);
        c.rect(7, 11, 3, 4, kBrown);
        break;
    case 97:   // light bulb
        c.disk(3, 1, 10, 10, kYellow);
        c.rect(6, 10, 4, 2, kYellow);
        c.rect(6, 12, 4, 3, kGrey);
        break;
    case 98:   // key
        c.ring(1, 4, 7, 7, kYellow);
        c.ring(2, 5, 5, 5, kYellow);
        c.rect(8, 7, 7, 2, kYellow);
        c.rect(11, 9, 1, 3, kYellow);
        c.rect(14, 9, 1, 2, kYellow);
        break;
    case 99:   // clock
        c.ring(1, 1, 14, 14, kWhite);
        c.line(8, 8, 8, 3, kWhite);
        c.line(8, 8, 11, 10, kWhite);
        break;
    case 100:   // bell
        c.polygon({{8, 2}, {11, 4}, {12, 11}, {14, 12}, {2, 12}, {4, 11}, {5, 4}}, kYellow);
        c.disk(7, 12, 3, 3, kYellow);
        c.pixel(8, 1, kYellow);
        break;
    case 101:   // cup
        c.rect(2, 6, 9, 8, kWhite);
        c.ring(9, 7, 6, 5, kWhite);
        c.line(4, 1, 4, 4, kLight);
        c.line(7, 1, 7, 4, kLight);
        break;
    case 102:   // umbrella
        c.pie(1, 1, 14, 0, 180, kRed);
        c.line(8, 8, 8, 13, kLight);
        c.lines({{8, 13}, {7, 14}, {6, 13}}, kLight);
        break;
    case 103:   // heart
        c.disk(1, 2, 7, 7, kRed);
        c.disk(8, 2, 7, 7, kRed);
        c.polygon({{1, 6}, {14, 6}, {8, 14}}, kRed);
        break;
    case 104: c.polygon(star(8, 8, 7.5, 3, 5), kYellow); break;   // star
    case 105:   // sun
        c.disk(4, 4, 8, 8, kYellow);
        rays(c, 5.5, 7.5, kYellow);
        break;
    case 106:   // moon
        c.disk(1, 1, 14, 14, kYellow);
        c.disk(5, 0, 12, 12, kBlack);
        break;
    case 107:   // cloud
        c.disk(1, 6, 7, 7, kLight);
        c.disk(5, 3, 8, 8, kLight);
        c.disk(9, 6, 7, 7, kLight);
        c.rect(4, 9, 9, 4, kLight);
        break;
    case 108:   // drop
        c.disk(3, 6, 10, 10, QColor(60, 140, 255));
        c.polygon({{8, 0}, {12, 8}, {4, 8}}, QColor(60, 140, 255));
        break;
    case 109:   // flower
        c.line(8, 9, 8, 15, kGreen);
        c.line(8, 12, 11, 10, kGreen);
        for (const QPoint& p : {QPoint(6, 0), QPoint(6, 6), QPoint(3, 3), QPoint(9, 3)})
            c.disk(p.x(), p.y(), 4, 4, QColor(255, 120, 200));
        c.disk(7, 4, 2, 2, kYellow);
        break;
    case 110:   // tree
        c.disk(2, 0, 12, 11, kGreen);
        c.rect(7, 10, 3, 6, kBrown);
        break;
    case 111:   // flame
        c.polygon({{8, 0}, {13, 8}, {12, 13}, {8, 15}, {4, 13}, {3, 8}}, kOrange);
        c.polygon({{8, 6}, {10, 11}, {8, 14}, {6, 11}}, kYellow);
        break;
    case 112:   // note
        c.disk(3, 10, 5, 4, kWhite);
        c.rect(7, 2, 1, 10, kWhite);
        c.lines({{8, 2}, {11, 4}, {11, 7}}, kWhite);
        break;
    case 113:   // loudspeaker
        c.rect(1, 6, 3, 4, kLight);
        c.polygon({{4, 6}, {8, 2}, {8, 13}, {4, 9}}, kLight);
        c.arc(6, 4, 8, -60, 120, kWhite);
        c.arc(4, 1, 13, -60, 120, kWhite);
        break;
    case 114:   // fan
        c.disk(6, 6, 4, 4, kGrey);
        c.polygon({{8, 8}, {5, 0}, {11, 1}}, kLight);
        c.polygon({{8, 8}, {15, 11}, {10, 14}}, kLight);
        c.polygon({{8, 8}, {1, 13}, {0, 7}}, kLight);
        break;
    case 115:   // door
        c.rect(3, 0, 10, 16, kBrown);
        c.frame(3, 0, 10, 16, QColor(200, 140, 80));
        c.rect(10, 8, 2, 2, kYellow);
        break;
    case 116:   // chair
        c.rect(3, 0, 2, 16, kBrown);
        c.rect(3, 8, 10, 2, kBrown);
        c.rect(11, 10, 2, 6, kBrown);
        break;
    case 117:   // screen
        c.frame(0, 1, 16, 11, kLight);
        c.rect(1, 2, 14, 9, kBlue);
        c.rect(7, 12, 2, 2, kLight);
        c.rect(4, 14, 8, 2, kLight);
        break;
    case 118:   // plug
        c.rect(5, 0, 1, 4, kLight);
        c.rect(10, 0, 1, 4, kLight);
        c.rect(3, 4, 10, 6, kGrey);
        c.polygon({{4, 10}, {11, 10}, {9, 12}, {6, 12}}, kGrey);
        c.line(7, 12, 7, 15, kWhite);
        break;
    case 119:   // battery
        c.frame(0, 4, 14, 8, kWhite);
        c.rect(14, 6, 2, 4, kWhite);
        c.rect(2, 6, 7, 4, kGreen);
        break;
    default:
        break;
    }
}

void office(Canvas& c, int index)
{
    switch (index) {
    case 120:   // envelope
        c.rect(0, 3, 16, 10, kWhite);
        c.lines({{0, 3}, {8, 9}, {15, 3}}, kGrey);
        break;
    case 121:   // telephone
        c.polygon({{1, 5}, {4, 2}, {11, 2}, {14, 5}, {11, 6}, {4, 6}}, kWhite);
        c.polygon({{4, 8}, {11, 8}, {14, 14}, {1, 14}}, kWhite);
        c.disk(6, 9, 4, 4, kBlack);
        break;
    case 122:   // folder
        c.rect(0, 3, 7, 2, QColor(230, 180, 40));
        c.rect(0, 5, 16, 9, QColor(230, 180, 40));
        c.rect(0, 7, 16, 1, QColor(255, 220, 100));
        break;
    case 123:   // document
        c.polygon({{2, 0}, {10, 0}, {13, 3}, {13, 15}, {2, 15}}, kWhite);
        c.polygon({{10, 0}, {10, 3}, {13, 3}}, kGrey);
        for (int y = 6; y < 14; y += 2)
            c.line(4, y, 11, y, kGrey);
        break;
    case 124:   // pencil
        c.polygon({{11, 1}, {14, 4}, {5, 13}, {2, 10}}, kYellow);
        c.polygon({{2, 10}, {5, 13}, {1, 14}}, QColor(240, 200, 150));
        c.pixel(1, 14, kBlack);
        c.polygon({{11, 1}, {14, 4}, {15, 3}, {12, 0}}, QColor(255, 120, 160));
        break;
    case 125:   // scissors
        c.line(3, 1, 11, 11, kLight);
        c.line(12, 1, 4, 11, kLight);
        c.ring(1, 10, 5, 5, kRed);
        c.ring(10, 10, 5, 5, kRed);
        break;
    case 126: padlock(c, false); break;
    case 127: padlock(c, true); break;
    case 128:   // magnifier
        c.ring(1, 1, 10, 10, kWhite);
        c.ring(2, 2, 8, 8, kWhite);
        c.polygon({{9, 10}, {10, 9}, {15, 14}, {14, 15}}, kBrown);
        break;
    case 129:   // diskette
        c.rect(1, 1, 14, 14, kBlue);
        c.rect(4, 1, 8, 5, kLight);
        c.rect(9, 2, 2, 3, kBlue);
        c.rect(3, 9, 10, 6, kWhite);
        break;
    case 130:   // printer
        c.rect(4, 0, 8, 5, kWhite);
        c.rect(1, 5, 14, 7, kGrey);
        c.rect(4, 10, 8, 6, kWhite);
        c.pixel(13, 7, kGreen);
        break;
    case 131:   // calculator
        c.rect(2, 0, 12, 16, kGrey);
        c.rect(4, 2, 8, 3, QColor(150, 230, 150));
        for (int y = 7; y < 15; y += 3)
            for (int x = 4; x < 12; x += 3)
                c.rect(x, y, 2, 2, kWhite);
        break;
    case 132:   // paper clip
        c.lines({{10, 4}, {10, 13}, {8, 15}, {5, 15}, {3, 13}, {3, 2}, {5, 0}, {11, 0}, {13, 2},
                 {13, 11}},
                kLight);
        c.lines({{6, 4}, {6, 11}, {7, 12}}, kLight);
        break;
    case 133:   // calendar
        c.rect(1, 2, 14, 13, kWhite);
        c.rect(1, 2, 14, 3, kRed);
        for (int y = 7; y < 14; y += 3)
            for (int x = 3; x < 13; x += 3)
                c.rect(x, y, 2, 2, kGrey);
        break;
    case 134:   // book
        c.rect(2, 1, 11, 14, QColor(170, 30, 30));
        c.rect(13, 2, 2, 13, kWhite);
        c.rect(4, 4, 7, 2, kYellow);
        break;
    case 135:   // check mark
        c.polygon({{1, 8}, {4, 5}, {7, 8}, {13, 1}, {15, 4}, {7, 13}}, kGreen);
        break;
    case 136:   // cross mark
        c.polygon({{1, 3}, {3, 1}, {8, 6}, {13, 1}, {15, 3}, {10, 8}, {15, 13}, {13, 15}, {8, 10},
                   {3, 15}, {1, 13}, {6, 8}},
                  kRed);
        break;
    case 137:   // question mark
        c.sprite(4, 1,
                 {".######.", "##....##", "##....##", ".....##.", "....##..", "...##...",
                  "...##...", "........", "...##...", "...##..."},
                 kWhite);
        break;
    case 138:   // warning
        c.polygon({{8, 0}, {15, 14}, {0, 14}}, kYellow);
        c.rect(7, 4, 2, 6, kBlack);
        c.rect(7, 11, 2, 2, kBlack);
        break;
    case 139:   // power
        c.arc(1, 1, 14, 120, 300, QColor(0, 230, 230));
        c.arc(2, 2, 12, 120, 300, QColor(0, 230, 230));
        c.rect(7, 0, 2, 8, QColor(0, 230, 230));
        break;
    case 140:   // gear
        for (int i = 0; i < 8; ++i) {
            const QPoint at = onCircle(7, 7, 6, M_PI * i / 4);
            c.rect(at.x(), at.y(), 2, 2, kLight);
        }
        c.disk(3, 3, 10, 10, kLight);
        c.disk(6, 6, 4, 4, kBlack);
        break;
    default:   // flag
        c.rect(2, 0, 1, 16, kLight);
        c.polygon({{3, 1}, {14, 1}, {11, 4}, {14, 8}, {3, 8}}, kRed);
        break;
    }
}

void draw(Canvas& c, int index)
{
    if (index <= 12)
        beamEffect(c, index);
    else if (index <= 22)
        c.disk(1, 1, 14, 14, kDisks[index - 13]);
    else if (index == 23) {   // colour wheel
        static const QColor kWheel[] = {kRed, kYellow, kGreen, QColor(0, 230, 230), kBlue,
                                        QColor(230, 0, 230)};
        for (int i = 0; i < 6; ++i)
            c.pie(0, 0, 16, 60 * i, 60, kWheel[i]);
        c.disk(6, 6, 4, 4, kBlack);
    } else if (index <= 35)
        goboShape(c, index - 24);
    else if (index <= 41) {
        c.pie(1, 1, 14, 90, 180, kSplits[index - 36][0]);
        c.pie(1, 1, 14, 270, 180, kSplits[index - 36][1]);
    } else if (index <= 45)
        prism(c, index - 42);
    else if (index <= 53)
        labelled(c, index);
    else if (index <= 73)
        c.rect(2, 2, 12, 12, kPatches[index - 54]);
    else if (index <= 75)
        strobe(c, index == 74);
    else if (index <= 81)
        face(c, index == 81 ? QColor(240, 80, 60) : kYellow, index - 76);
    else if (index <= 95)
        arrowPicture(c, index);
    else if (index <= 119)
        household(c, index);
    else
        office(c, index);
}

}  // namespace

QImage goboPicture(int index)
{
    if (index < 0 || index >= kGoboPictures)
        return {};
    QImage picture(kSide, kSide, QImage::Format_RGB32);
    picture.fill(kBlack);
    {
        Canvas canvas(&picture);
        draw(canvas, index);
    }
    return picture;
}

}  // namespace tavrelia
