#include <gtest/gtest.h>

#include "editing/level_graph.h"
#include "console_state.h"

using tavrelia::LevelGraph;
using tavrelia::SceneSpan;
using tavrelia::ShowImage;
using Tool = LevelGraph::Tool;

namespace {

constexpr int kChannel = 5;        // edited channel 6
constexpr int kLevel0 = 255;       // row 0
constexpr int kRowOf100 = 155;     // level 100

struct Graph : ::testing::Test {
    Graph()
    {
        state.image.resetToNewShow();
        graph().setZoomPosition(3);   // 8/32: columns of 16 pixels
    }
    LevelGraph& graph() { return levelGraph; }
    // The middle of a scene's column on its page.
    int columnOf(int scene) const { return (scene % 32) * 16 + 8; }
    int pageOf(int scene) const { return scene / 32; }
    SceneSpan press(bool left, Tool tool, int scene, int row)
    {
        const auto button = left ? LevelGraph::Button::Left : LevelGraph::Button::Right;
        const SceneSpan written = graph().press(button, tool, columnOf(scene), row, pageOf(scene), kChannel);
        graph().release();
        return written;
    }
    int level(int scene) { return state.image.DataRead(scene, kChannel + 1); }
    tavrelia::ConsoleState state;
    LevelGraph levelGraph{state.image, state.consoleLock};
};

}  // namespace

TEST_F(Graph, ZoomPagesAndPositions)
{
    struct Case {
        int position, zoom, scenes;
    };
    for (Case c : {Case{0, 1, 256}, Case{1, 2, 128}, Case{2, 4, 64}, Case{3, 8, 32}}) {
        graph().setZoomPosition(c.position);
        EXPECT_EQ(graph().zoom(), c.zoom);
        EXPECT_EQ(graph().pageScenes(), c.scenes);
        EXPECT_EQ(graph().columnWidth() * c.scenes, LevelGraph::kWidth);
    }
    // An opened show: 256 div LastScene, at most 3; one scene gets 3 as well.
    const std::pair<int, int> opened[] = {{0, 3}, {1, 3}, {85, 3}, {86, 2}, {128, 2}, {129, 1}, {200, 1}, {255, 1}};
    for (auto [last, position] : opened)
        EXPECT_EQ(LevelGraph::zoomPositionFor(last), position) << last;

    graph().setZoomPosition(3);
    EXPECT_EQ(graph().sceneAt(0, 7) + 1, 225);
    EXPECT_EQ(graph().sceneAt(511, 7) + 1, 256);
    EXPECT_EQ(graph().sceneAt(-20, 0), -1);   // left of the box
    graph().setZoomPosition(0);
    EXPECT_EQ(graph().sceneAt(511, 0), 255);
    EXPECT_EQ(LevelGraph::levelAt(300), 0);
    EXPECT_EQ(LevelGraph::levelAt(-5), 255);
    EXPECT_EQ(LevelGraph::levelAt(55), 200);
}

TEST_F(Graph, LinesRiseInTruncatedStepsFromTheLeftEnd)
{
    // Left click at 10 with level 0, right click at 13 with level 100.
    press(true, Tool::Line, 9, kLevel0);
    EXPECT_EQ(graph().GraphLineStart, 9);
    const SceneSpan written = press(false, Tool::Line, 12, kRowOf100);
    EXPECT_EQ((std::vector<int>{level(9), level(10), level(11), level(12)}), (std::vector<int>{0, 33, 66, 99}));
    EXPECT_EQ(written.first, 10);
    EXPECT_EQ(written.last, 12);

    // Drawn right to left: the same levels, the left end kept.
    state.image.resetToNewShow();
    press(true, Tool::Line, 12, kRowOf100);
    press(false, Tool::Line, 9, kLevel0);
    EXPECT_EQ((std::vector<int>{level(9), level(10), level(11), level(12)}), (std::vector<int>{0, 33, 66, 99}));

    // Falling, and across a page boundary.
    state.image.resetToNewShow();
    press(true, Tool::Line, 30, 55);          // 200
    press(false, Tool::Line, 34, 255 - 10);   // 10: 190 div 4 = 47
    EXPECT_EQ((std::vector<int>{level(30), level(31), level(32), level(33), level(34)}),
              (std::vector<int>{200, 153, 106, 59, 12}));

    // A right click on the start itself only sets that scene.
    state.image.resetToNewShow();
    press(true, Tool::Line, 20, 55);
    press(false, Tool::Line, 20, 155);
    EXPECT_EQ(level(20), 100);
    EXPECT_EQ(level(21), 0);
    EXPECT_EQ(level(19), 0);
}

TEST_F(Graph, ArrowAndPenWriteWhereTheyShould)
{
    press(true, Tool::Arrow, 40, kRowOf100);
    EXPECT_EQ(level(40), 100);
    EXPECT_EQ(level(41), 0);

    // The pen runs to scene 254 and leaves 255.
    const SceneSpan pen = press(true, Tool::Pen, 200, 55);
    for (int s : {200, 230, 254})
        EXPECT_EQ(level(s), 200) << s;
    EXPECT_EQ(level(255), 0);
    EXPECT_EQ(level(199), 0);
    EXPECT_EQ(pen.first, 200);
    EXPECT_EQ(pen.last, 254);

    // Left of the box on the first page: scene -1 is scene 255 for the arrow; the
    // pen writes 255 and then 0..254.
    state.image.resetToNewShow();
    graph().press(LevelGraph::Button::Left, Tool::Arrow, -20, kRowOf100, 0, kChannel);
    graph().release();
    EXPECT_EQ(level(255), 100);
    EXPECT_EQ(level(0), 0);
    EXPECT_EQ(graph().GraphLineStart, 255);
    const SceneSpan wrapped = graph().press(LevelGraph::Button::Left, Tool::Pen, -20, 55, 0, kChannel);
    EXPECT_EQ(level(255), 200);
    EXPECT_EQ(level(0), 200);
    EXPECT_EQ(level(254), 200);
    EXPECT_EQ(wrapped.first, 0);
    EXPECT_EQ(wrapped.last, 255);
}

TEST_F(Graph, OnlyAHeldButtonDraws)
{
    EXPECT_TRUE(graph().move(Tool::Arrow, columnOf(3), 55, 0, kChannel).empty());
    EXPECT_EQ(level(2), 0);
    graph().press(LevelGraph::Button::Left, Tool::Arrow, columnOf(3), 55, 0, kChannel);
    const SceneSpan moved = graph().move(Tool::Arrow, columnOf(4), 105, 0, kChannel);
    EXPECT_EQ(level(4), 150);
    EXPECT_EQ(moved.first, 4);
    EXPECT_EQ(moved.last, 4);
    graph().release();
    graph().move(Tool::Arrow, columnOf(5), 55, 0, kChannel);
    EXPECT_EQ(level(5), 0);
}

TEST_F(Graph, TheLastChannelPositionIsTheNextRecordsFirstByte)
{
    graph().press(LevelGraph::Button::Left, Tool::Arrow, columnOf(4), kRowOf100, 0, 255);
    graph().release();
    EXPECT_EQ(state.image[ShowImage::sceneAddress(5)], 100);
    EXPECT_EQ(graph().level(4, 255), 100);
    // Scene 255's byte 256 is the image's spare byte.
    graph().press(LevelGraph::Button::Left, Tool::Arrow, columnOf(255), 55, 7, 255);
    EXPECT_EQ(state.image[ShowImage::kImageSize], 200);
}
