#include <gtest/gtest.h>

#include <cstdlib>

#include "editing/figure_maker.h"

using tavrelia::FigureMaker;
using tavrelia::SceneRange;
using tavrelia::XyPoint;
using Figure = FigureMaker::Figure;

namespace {

// An expected point worked out from the formulas. Rounding up a value that is
// exactly an integer (sin or cos of a multiple of 90 degrees) may land one unit
// higher in floating point: `drift` marks such coordinates (1 = x, 2 = y).
struct Expected {
    int x;
    int y;
    int drift = 0;
};

bool close(int actual, int expected, bool drift)
{
    return actual == expected || (drift && actual == expected + 1);
}

void expectPath(const std::vector<XyPoint>& actual, const std::vector<Expected>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t k = 0; k < expected.size(); ++k) {
        const Expected& e = expected[k];
        EXPECT_TRUE(close(actual[k].x, e.x, e.drift & 1) && close(actual[k].y, e.y, e.drift & 2))
            << "point " << k << ": (" << actual[k].x << ", " << actual[k].y << "), expected ("
            << e.x << ", " << e.y << ")";
    }
}

struct FigureCase {
    const char* name;
    Figure figure;
    SceneRange range;
    int size;
    int option;
    std::vector<Expected> points;
};

// Worked by hand from the makers' integer arithmetic, on short ranges that do not
// start at scene 1.
const FigureCase kFigureCases[] = {
    {"line", Figure::Line, {3, 9}, 100, 5,
     {{78, 88}, {106, 116}, {134, 144}, {162, 172}, {172, 162}, {144, 134}, {116, 106}}},
    {"triangle", Figure::Triangle, {3, 12}, 90, 4,
     {{75, 74}, {88, 101}, {101, 128}, {114, 155}, {127, 182}, {140, 155}, {153, 128}, {166, 101},
      {179, 74}, {148, 74}}},
    {"rectangle", Figure::Rectangle, {5, 14}, 120, 3,
     {{56, 56}, {56, 104}, {56, 152}, {56, 200}, {104, 200}, {152, 200}, {200, 200}, {200, 152},
      {200, 104}, {200, 56}}},
    {"x figure", Figure::XFigure, {5, 14}, 120, 3,
     {{56, 56}, {56, 104}, {56, 152}, {56, 200}, {104, 152}, {152, 104}, {200, 56}, {200, 104},
      {200, 152}, {200, 200}}},
    // The last point turns at the right edge onto the next row.
    {"zigzag", Figure::Zigzag, {2, 9}, 60, 2,
     {{98, 42}, {122, 42}, {146, 42}, {170, 42}, {194, 42}, {218, 42}, {242, 42}, {242, 127}}},
    // With W = 0 the first turn puts y at 384: clamped to the edge.
    {"zigzag one row", Figure::Zigzag, {1, 4}, 200, 0, {{28, 128}, {94, 128}, {160, 128}, {226, 128}}},
    {"circle", Figure::Circle, {4, 10}, 150, 5,
     {{127, 202, 3}, {177, 184}, {202, 138}, {190, 88}, {148, 56}, {97, 61}, {60, 98}}},
    {"figure eight", Figure::Eight, {1, 9}, 200, 7,
     {{127, 128, 3}, {79, 176}, {123, 227}, {177, 185}, {127, 127, 3}, {177, 80}, {133, 29},
      {79, 71}, {118, 126}}},
    {"four-leaf", Figure::FourLeaf, {1, 9}, 200, 6,
     {{127, 177, 3}, {60, 224}, {177, 128, 3}, {224, 196}, {128, 77, 3}, {196, 32}, {77, 127, 3},
      {32, 60}, {112, 43}}},
    {"spiral", Figure::Spiral, {2, 7}, 200, 5,
     {{127, 227, 3}, {53, 101}, {166, 83}, {147, 162, 1}, {109, 131}, {127, 127, 3}}},
    // Ranges too short for the sides: the figure stops at the range's last scene.
    {"short triangle", Figure::Triangle, {10, 11}, 200, 2, {{105, 106}, {127, 150}}},
    {"short rectangle", Figure::Rectangle, {10, 12}, 200, 2, {{124, 124}, {124, 132}, {132, 132}}},
    {"short x figure", Figure::XFigure, {10, 15}, 200, 2,
     {{0, 0}, {0, 128}, {0, 255}, {128, 128}, {255, 0}, {255, 128}}},
    // One scene: the makers that divide by its length only write the single point.
    {"one-scene line", Figure::Line, {7, 7}, 100, 3, {{78, 84}}},
    {"one-scene triangle", Figure::Triangle, {7, 7}, 100, 3, {{105, 106}}},
};

}  // namespace

TEST(FigureMakerTest, EachFigureGivesTheWorkedPoints)
{
    for (const FigureCase& c : kFigureCases) {
        SCOPED_TRACE(c.name);
        const auto points = FigureMaker(c.range, c.size, c.option).make(c.figure);
        ASSERT_TRUE(points.has_value());
        expectPath(*points, c.points);
    }
}

TEST(FigureMakerTest, FullRangeFiguresMatchTheirKnownCorners)
{
    const SceneRange all{1, 32};
    const auto line = *FigureMaker(all, 200, 7).make(Figure::Line);
    EXPECT_EQ(line[0], (XyPoint{28, 42}));
    EXPECT_EQ(line[15], (XyPoint{208, 222}));
    EXPECT_EQ(line[16], (XyPoint{222, 208}));
    EXPECT_EQ(line[31], (XyPoint{42, 28}));

    const auto rectangle = *FigureMaker(all, 200, 0).make(Figure::Rectangle);
    EXPECT_EQ(rectangle[0], (XyPoint{32, 32}));
    EXPECT_EQ(rectangle[8], (XyPoint{32, 224}));
    EXPECT_EQ(rectangle[16], (XyPoint{224, 224}));
    EXPECT_EQ(rectangle[24], (XyPoint{224, 32}));
    EXPECT_EQ(rectangle[31], (XyPoint{56, 32}));

    const auto zigzag = *FigureMaker(all, 200, 7).make(Figure::Zigzag);
    const std::vector<XyPoint> start{{28, 16}, {76, 16}, {124, 16}, {172, 16}, {220, 16}, {220, 48}, {172, 48}};
    EXPECT_EQ(std::vector<XyPoint>(zigzag.begin(), zigzag.begin() + 7), start);
}

TEST(FigureMakerTest, MakersThatDivideByTheRangeLengthRefuseOneScene)
{
    for (Figure figure : {Figure::Zigzag, Figure::Circle, Figure::Eight, Figure::FourLeaf, Figure::Spiral})
        EXPECT_FALSE(FigureMaker({5, 5}, 200, 7).make(figure).has_value());
    for (Figure figure : FigureMaker::kFigures)
        EXPECT_FALSE(FigureMaker({6, 5}, 200, 7).make(figure).has_value());
}

TEST(FigureMakerTest, SinusMeasuresFromUpTowardsRight)
{
    EXPECT_EQ(FigureMaker::Sinus(0, 200), (XyPoint{127, 227}));
    EXPECT_EQ(FigureMaker::Sinus(180, 200).y, 28);
    // sin 30 = 0.5, cos 30 = 0.866...: 50 and ceil(86.6) = 87 from the centre.
    EXPECT_EQ(FigureMaker::Sinus(30, 200).y, 127 + 87);
    // Negative offsets map from 128: ceil(-86.6) = -86.
    EXPECT_EQ(FigureMaker::Sinus(210, 200).y, 128 - 86);
    EXPECT_EQ(FigureMaker::Sinus(240, 200).x, 128 - 86);
}

TEST(FigureMakerTest, RotateTurnsAboutTheCentre)
{
    struct Case {
        int x, y, angle;
        Expected turned;
    };
    // A point right of the centre stays there under 90 degrees; one above goes below.
    const Case cases[] = {
        {200, 127, 90, {200, 127, 3}}, {127, 227, 90, {127, 29}}, {227, 227, 45, {254, 141}},
        {60, 90, 30, {61, 89, 2}},     {255, 0, 180, {127, 1, 1}}, {0, 255, 200, {171, 247}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " by " << c.angle);
        expectPath({FigureMaker::RotateXY(c.x, c.y, c.angle)}, {c.turned});
    }
}

TEST(FigureMakerTest, RepeatStepsMoveMirrorAndSize)
{
    struct Case {
        int code;
        int from;
        int to;
    };
    const Case cases[] = {
        {1, 254, 255}, {1, 255, 255}, {2, 1, 0},     {2, 0, 0},
        {5, 0, 255},   {5, 100, 155},
        // Smaller: one step towards the centre; 127 and 128 both end at 127.
        {7, 0, 0},     {7, 1, 2},     {7, 126, 127}, {7, 127, 127}, {7, 128, 127}, {7, 129, 128},
        {7, 254, 253}, {7, 255, 255},
        // Larger: one step away; the edges stay.
        {8, 0, 0},     {8, 1, 0},     {8, 127, 126}, {8, 128, 129}, {8, 254, 255}, {8, 255, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << c.code << " from " << c.from);
        EXPECT_EQ(FigureMaker::repeatStep(c.code, {c.from, 40}).x, c.to);
        // Codes 1, 2 and 5 leave y alone; 7 and 8 treat both alike.
        const int y = FigureMaker::repeatStep(c.code, {40, c.from}).y;
        EXPECT_EQ(y, c.code >= 7 ? c.to : c.from);
    }
    EXPECT_EQ(FigureMaker::repeatStep(3, {10, 254}), (XyPoint{10, 255}));
    EXPECT_EQ(FigureMaker::repeatStep(4, {10, 0}), (XyPoint{10, 0}));
    EXPECT_EQ(FigureMaker::repeatStep(6, {10, 30}), (XyPoint{10, 225}));
}

TEST(FigureMakerTest, MirrorTwiceRestoresButSizeStepsLoseTheEdges)
{
    for (int v = 0; v <= 255; ++v) {
        const XyPoint p{v, 255 - v};
        EXPECT_EQ(FigureMaker::repeatStep(5, FigureMaker::repeatStep(5, p)), p);
        EXPECT_EQ(FigureMaker::repeatStep(6, FigureMaker::repeatStep(6, p)), p);
    }
    // Enlarged to the edges, then shrunk: 0 and 255 stay where they went.
    EXPECT_EQ(FigureMaker::repeatStep(7, FigureMaker::repeatStep(8, {1, 254})), (XyPoint{0, 255}));
}
