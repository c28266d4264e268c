#include <gtest/gtest.h>

#include "console_state.h"
#include "view3d/hand_scan.h"

using tavrelia::HandScan;
using tavrelia::ShowImage;

namespace {

class HandScanTest : public ::testing::Test {
protected:
    HandScanTest() { state.image.resetToNewShow(); }

    void select(int channel) { state.image[ShowImage::selectAddress(channel)] = 1; }
    bool selected(int channel) const { return state.image[ShowImage::selectAddress(channel)] == 1; }
    uint8_t level(int channel) const
    {
        return state.image[ShowImage::sceneAddress(state.image.currentScene()) + channel];
    }
    HandScan::Result drag(int column, int row, HandScan::Options options = {})
    {
        return scan.mouseDown(column, row, options);
    }

    tavrelia::ConsoleState state;
    HandScan scan{{state.image, state.controls, state.play, state.consoleLock}};
};

TEST_F(HandScanTest, PadPositionToValues)
{
    struct Case {
        int column, row;
        bool invertX, invertY, swap;
        int x, y;
    };
    const Case cases[] = {
        {0, 0, false, false, false, 0, 255},   // top left: up is the larger Y
        {255, 255, false, false, false, 255, 0},
        {0, 0, true, true, false, 255, 0},
        {0, 0, true, true, true, 0, 255},      // the swap comes after the inversions
        {100, 30, false, false, true, 225, 100},
        {100, 30, true, false, false, 155, 225},
        {-20, 300, false, false, false, 0, 0},   // dragged off the pad: clamped
        {400, -5, false, false, false, 255, 255},
    };
    for (const Case& c : cases) {
        const HandScan::Result r = drag(c.column, c.row, {c.invertX, c.invertY, c.swap});
        EXPECT_EQ(r.x, c.x) << c.column << "," << c.row;
        EXPECT_EQ(r.y, c.y) << c.column << "," << c.row;
        EXPECT_EQ(state.controls.handX, c.x);
        EXPECT_EQ(state.controls.handY, c.y);
    }
}

// 5, 6 and 7 selected: 6 is 5's Y and loses its mark, 7 becomes the X of 7/8.
TEST_F(HandScanTest, SelectedChannelsTakeXAndTheNextOneY)
{
    state.image[ShowImage::kCurrentScene] = 3;
    for (int c : {5, 6, 7, 20})
        select(c);
    const ShowImage::Bytes before = state.image.bytes();
    const HandScan::Result r = drag(40, 55);
    EXPECT_TRUE(r.written);
    EXPECT_TRUE(r.selectionChanged);

    ShowImage::Bytes expected = before;
    expected[ShowImage::selectAddress(6)] = 0;
    for (int c : {5, 7, 20}) {
        expected[ShowImage::levelAddress(3, c)] = 40;
        expected[ShowImage::levelAddress(3, c + 1)] = 200;
    }
    EXPECT_TRUE(state.image.bytes() == expected);
}

// Channel 255's Y lands in the byte after the record's last channel: the next scene's
// unused byte 0, or after the last scene the spare byte past the saved image.
TEST_F(HandScanTest, Channel255WritesItsYPastTheRecord)
{
    select(255);
    for (int scene : {0, 255}) {
        state.image[ShowImage::kCurrentScene] = static_cast<uint8_t>(scene);
        const ShowImage::Bytes before = state.image.bytes();
        drag(1, 2);
        ShowImage::Bytes expected = before;
        expected[ShowImage::levelAddress(static_cast<uint8_t>(scene), 255)] = 1;
        expected[ShowImage::sceneAddress(static_cast<uint8_t>(scene)) + 256] = 253;
        EXPECT_TRUE(state.image.bytes() == expected) << scene;
    }
    EXPECT_EQ(state.image.bytes()[ShowImage::kImageSize], 253);
}

TEST_F(HandScanTest, WhilePlayingOnlyTheOutputValuesChange)
{
    select(8);
    select(9);
    state.play.PlayFlag = true;
    const uint8_t scene = level(8);
    const HandScan::Result r = drag(70, 80);
    EXPECT_EQ(level(8), scene);
    EXPECT_EQ(state.controls.handX, 70);
    EXPECT_EQ(state.controls.handY, 175);
    // The pair rule still holds for the output's sake.
    EXPECT_FALSE(selected(9));
    EXPECT_TRUE(r.selectionChanged);
}

TEST_F(HandScanTest, MovingWithoutAButtonWritesNothing)
{
    select(4);
    const ShowImage::Bytes before = state.image.bytes();
    HandScan::Result r = scan.mouseMove(30, 40, {});
    EXPECT_FALSE(r.written);
    EXPECT_EQ(r.x, 30);
    EXPECT_EQ(r.y, 215);
    EXPECT_TRUE(state.image.bytes() == before);
    EXPECT_EQ(state.controls.handX, 0);

    // Held, then released: the next move is a plain move again.
    drag(1, 1);
    scan.endDrag();
    const ShowImage::Bytes held = state.image.bytes();
    r = scan.mouseMove(90, 90, {});
    EXPECT_FALSE(r.written);
    EXPECT_TRUE(state.image.bytes() == held);
    EXPECT_EQ(state.controls.handX, 1);
}

}  // namespace
