#pragma once

#include <optional>
#include <vector>

namespace tavrelia {

// One point of a beam path: X (pan) and Y (tilt) levels, 127/128 the centre.
struct XyPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const XyPoint&, const XyPoint&) = default;
};

// A run of consecutive scenes, numbered from 1 as the operator sees them. Scene k
// of the range holds the k-th point of a path.
struct SceneRange {
    int first = 1;
    int last = 32;
    bool empty() const { return first > last; }
    int count() const { return empty() ? 0 : last - first + 1; }
    // Stored scene indices (number - 1).
    int firstIndex() const { return first - 1; }
    int lastIndex() const { return last - 1; }
};

// The pure arithmetic of the figure generator: the nine figures, the point function
// they share, the turn and the one-step moves. Integer division truncates towards
// zero and byte() wraps modulo 256, as the stored shows expect; every point written
// is clamped to 0..255, and nothing falls outside the range's scenes.
class FigureMaker {
public:
    enum class Figure { Line, Triangle, Rectangle, Zigzag, XFigure, Circle, Eight, FourLeaf, Spiral };
    static constexpr Figure kFigures[] = {Figure::Line,     Figure::Triangle, Figure::Rectangle,
                                          Figure::Zigzag,   Figure::XFigure,  Figure::Circle,
                                          Figure::Eight,    Figure::FourLeaf, Figure::Spiral};

    // Point of a circle of diameter `size` at `angle` degrees, measured from +Y
    // towards +X; computed in extended precision and rounded up.
    static XyPoint Sinus(int angle, int size);
    // The point turned by `angle` degrees about the centre (points beyond radius 1
    // are pulled onto the circle).
    static XyPoint RotateXY(int x, int y, int angle);
    // One step of the whole-path moves, mirrors and size changes (codes 1..8).
    static XyPoint repeatStep(int code, XyPoint point);

    FigureMaker(SceneRange range, int size, int option);
    // The points of scenes first..last of the range in order, or nothing when the
    // figure cannot be made on this range (it would divide by zero).
    std::optional<std::vector<XyPoint>> make(Figure figure);

private:
    void line();
    void triangle();
    void rectangle();
    void zigzag();
    void xFigure();
    void circle();
    void eight();
    void fourLeaf();
    void spiral();
    // Rectangle and X figure: sides of a + 1 scenes, c apart, from a start that
    // centres them; both begin with the left side going up, written here.
    struct Square {
        int c;
        int a;
        int x;
        int y;
    };
    Square leftSideUp();
    // Figures too short for their sides are clipped at the range's last scene.
    void write(int scene, int x, int y);
    void write(int scene, XyPoint p) { write(scene, p.x, p.y); }

    SceneRange range_;
    int S_;
    int W_;
    int base_;    // first stored scene index
    int span_;    // T - F
    std::vector<XyPoint> points_;
};

}  // namespace tavrelia
