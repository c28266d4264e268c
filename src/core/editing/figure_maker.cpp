#include "editing/figure_maker.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tavrelia {

namespace {
using Real = long double;
constexpr Real kDegree = std::numbers::pi_v<Real> / 180;

int byte(int v)
{
    return static_cast<unsigned char>(v);
}

// Offset from the centre to a level: 0 and -1 both land on 127.
int centred(Real v)
{
    const int whole = static_cast<int>(std::ceil(v));
    return whole >= 0 ? 127 + whole : 128 + whole;
}

// Offset of a level from the centre, 1..128 either way.
Real offset(int level)
{
    return level >= 128 ? level - 127 : level - 128;
}

int towardsCentre(int v)
{
    if (v >= 1 && v <= 127)
        ++v;
    if (v >= 128 && v != 255)
        --v;
    return v;
}

int awayFromCentre(int v)
{
    if (v >= 1 && v <= 127)
        --v;
    if (v >= 128 && v != 255)
        ++v;
    return v;
}
}  // namespace

XyPoint FigureMaker::Sinus(int angle, int size)
{
    const Real a = angle * kDegree;
    return {centred(std::sin(a) * size / 2), centred(std::cos(a) * size / 2)};
}

XyPoint FigureMaker::RotateXY(int x, int y, int angle)
{
    const Real dx = offset(x) / 128;
    const Real dy = offset(y) / 128;
    const int e = y < 128 ? 180 : 0;
    // Never zero: no level is the centre itself.
    const Real g = std::min<Real>(std::hypot(std::fabs(dx), std::fabs(dy)), 1);
    const Real h = std::clamp<Real>(dy > 0 ? dx / g : -dx / g, -1, 1);
    const Real phi = std::acos(h) / kDegree;
    return Sinus(static_cast<int>(std::ceil(angle + phi + e)),
                 static_cast<int>(std::ceil(g * 255)));
}

XyPoint FigureMaker::repeatStep(int code, XyPoint p)
{
    switch (code) {
    case 1: return {p.x == 255 ? p.x : p.x + 1, p.y};
    case 2: return {p.x == 0 ? p.x : p.x - 1, p.y};
    case 3: return {p.x, p.y == 255 ? p.y : p.y + 1};
    case 4: return {p.x, p.y == 0 ? p.y : p.y - 1};
    case 5: return {255 - p.x, p.y};
    case 6: return {p.x, 255 - p.y};
    case 7: return {towardsCentre(p.x), towardsCentre(p.y)};
    case 8: return {awayFromCentre(p.x), awayFromCentre(p.y)};
    default: return p;
    }
}

FigureMaker::FigureMaker(SceneRange range, int size, int option)
    : range_(range), S_(size), W_(option), base_(range.firstIndex()), span_(range.last - range.first)
{
}

std::optional<std::vector<XyPoint>> FigureMaker::make(Figure figure)
{
    if (range_.empty())
        return std::nullopt;
    const bool dividesBySpan = figure == Figure::Zigzag || figure == Figure::Circle
                               || figure == Figure::Eight || figure == Figure::FourLeaf
                               || figure == Figure::Spiral;
    if (dividesBySpan && span_ == 0)
        return std::nullopt;
    points_.assign(range_.count(), XyPoint{});
    switch (figure) {
    case Figure::Line: line(); break;
    case Figure::Triangle: triangle(); break;
    case Figure::Rectangle: rectangle(); break;
    case Figure::Zigzag: zigzag(); break;
    case Figure::XFigure: xFigure(); break;
    case Figure::Circle: circle(); break;
    case Figure::Eight: eight(); break;
    case Figure::FourLeaf: fourLeaf(); break;
    case Figure::Spiral: spiral(); break;
    }
    return std::move(points_);
}

void FigureMaker::write(int scene, int x, int y)
{
    const int k = scene - base_;
    if (k < 0 || k >= static_cast<int>(points_.size()))
        return;
    points_[k] = {std::clamp(x, 0, 255), std::clamp(y, 0, 255)};
}

// Up a diagonal by d per scene, then back along a parallel one 2W to the right
// and 2W lower.
void FigureMaker::line()
{
    const int n = range_.count();
    const int d = byte(2 * (S_ / n));
    const int c0 = (256 - S_) / 2;
    const int m = byte(range_.first + span_ / 2);
    int e = c0 + W_;
    int f = c0 + W_;
    for (int i = base_; i <= range_.lastIndex(); ++i) {
        if (i < m) {
            write(i, e - W_, f + W_);
            e += d;
            f += d;
        } else if (i == m) {
            e = e - d + 2 * W_;
            f = f - d - 2 * W_;
            write(i, e - W_, f + W_);
        } else {
            e -= d;
            f -= d;
            write(i, e - W_, f + W_);
        }
    }
}

// Each side has a + 1 scenes; its first scene repeats the previous side's last point.
void FigureMaker::triangle()
{
    const int c = byte(3 * (S_ / range_.count()));
    const int h = c / 2;
    const int a = span_ > 3 ? span_ / 3 + 1 : 1;
    int x = 127 - a * h;
    int y = (256 - a * c) / 2;
    for (int i = base_; i <= base_ + a; ++i, x += h, y += c)
        write(i, x, y);
    x -= h;
    y -= c;
    for (int i = base_ + a; i <= base_ + 2 * a; ++i, x += h, y -= c)
        write(i, x, y);
    x -= h;
    y += c;
    for (int i = base_ + 2 * a; i <= range_.lastIndex(); ++i, x -= c + W_)
        write(i, x, y);
}

FigureMaker::Square FigureMaker::leftSideUp()
{
    Square q;
    q.c = byte(4 * (S_ / range_.count()));
    q.a = span_ <= 4 ? 1 : span_ <= 8 ? 2 : span_ / 4 + 1;
    q.x = q.y = (256 - q.a * q.c) / 2;
    for (int i = base_; i <= base_ + q.a; ++i, q.y += q.c)
        write(i, q.x, q.y);
    q.y -= q.c;
    return q;
}

void FigureMaker::rectangle()
{
    auto [c, a, x, y] = leftSideUp();
    for (int i = base_ + a; i <= base_ + 2 * a; ++i, x += c)
        write(i, x, y);
    x -= c;
    for (int i = base_ + 2 * a; i <= base_ + 3 * a; ++i, y -= c)
        write(i, x, y);
    for (int i = base_ + 3 * a; i <= range_.lastIndex(); ++i, x -= c + W_)
        write(i, x, y + c);
}

// W + 1 rows scanned back and forth; a turn keeps x and moves to the next row.
void FigureMaker::zigzag()
{
    const int step = byte(S_ / span_ * (W_ + 1));
    const int rowSpacing = 256 / (W_ + 1);
    int x = (256 - S_) / 2;
    int y = 128 / (W_ + 1);
    bool right = true;
    for (int i = base_; i <= range_.lastIndex(); ++i) {
        write(i, x, y);
        x += right ? step : -step;
        if (right ? x > 255 : x < 0) {
            x += right ? -step : step;
            right = !right;
            y += rowSpacing;
        }
    }
}

void FigureMaker::xFigure()
{
    auto [c, a, x, y] = leftSideUp();
    for (int i = base_ + a; i <= base_ + 2 * a; ++i, y -= c, x += c)
        write(i, x, y);
    y += c;
    x -= c;
    for (int i = base_ + 2 * a; i <= base_ + 3 * a; ++i, y += c)
        write(i, x, y);
    y -= c;
    for (int i = base_ + 3 * a; i <= range_.lastIndex(); ++i, y -= c + W_, x -= c + W_)
        write(i, x, y);
}

// W = 7 gives about 350 degrees over the range; more runs past a full turn.
void FigureMaker::circle()
{
    const int step = W_ * 50 / span_;
    for (int k = 0; k < range_.count(); ++k)
        write(base_ + k, Sinus(k * step, S_));
}

void FigureMaker::eight()
{
    const int s = S_ / 2;
    const int step = W_ * 100 / span_;
    const int half = span_ / 2;
    const int o = s / 2;
    int angle = 180;
    for (int i = base_; i <= base_ + half; ++i, angle += step) {
        const XyPoint p = Sinus(angle, s);
        write(i, p.x, byte(p.y + o));
    }
    angle = 0;
    for (int i = base_ + half; i <= range_.lastIndex(); ++i, angle += step) {
        const XyPoint p = Sinus(angle, s);
        write(i, p.x, byte(p.y - o));
    }
}

void FigureMaker::fourLeaf()
{
    const int s = S_ / 2;
    const int step = W_ * 150 / span_;
    const int q = span_ / 4;
    const int o = s / 2;
    struct Leaf {
        int startAngle;
        int dx;
        int dy;
    };
    const Leaf leaves[] = {{90, -o, o}, {180, o, o}, {270, o, -o}, {0, -o, -o}};
    for (int leaf = 0; leaf < 4; ++leaf) {
        const int from = base_ + leaf * q;
        const int to = leaf == 3 ? range_.lastIndex() : from + q;
        int angle = leaves[leaf].startAngle;
        for (int i = from; i <= to; ++i, angle -= step) {
            const XyPoint p = Sinus(angle, s);
            write(i, p.x + leaves[leaf].dx, p.y + leaves[leaf].dy);
        }
    }
}

// The radius falls from S/2 towards (S mod (T - F))/2.
void FigureMaker::spiral()
{
    const int step = W_ * 250 / span_;
    const int shrink = S_ / span_;
    int b = S_;
    for (int k = 0; k < range_.count(); ++k) {
        write(base_ + k, Sinus(k * step, b));
        b = byte(b - shrink);
    }
}

}  // namespace tavrelia
