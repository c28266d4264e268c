#include <gtest/gtest.h>

#include "editing/channel_desk.h"
#include "console_state.h"

using tavrelia::ChannelDesk;
using tavrelia::ShowImage;

namespace {

struct DeskTest : ::testing::Test {
    DeskTest() { state.image.resetToNewShow(); }
    uint8_t flag(int channel) const { return state.image[ShowImage::selectAddress(channel)]; }

    tavrelia::ConsoleState state;
    ChannelDesk desk{{state.image, state.controls, state.play, state.dmx, state.consoleLock}};
};

TEST(ChannelDeskArithmetic, PercentRoundsUp)
{
    const std::pair<int, int> cases[] = {{0, 0}, {1, 1}, {3, 2}, {128, 51}, {254, 100}, {255, 100}};
    for (auto [level, percent] : cases) {
        EXPECT_EQ(ChannelDesk::percent(level), percent) << level;
        EXPECT_EQ(ChannelDesk::outputCaption(level, true), QString::number(percent));
        EXPECT_EQ(ChannelDesk::outputCaption(level, false), QString::number(level));
    }
}

TEST_F(DeskTest, SlowRefreshWalksTheNineGroupsInTurn)
{
    std::vector<int> groups;
    for (int k = 0; k < 11; ++k)
        groups.push_back(desk.nextRefreshGroup());
    EXPECT_EQ(groups, (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9, 1, 2, 3}));
}

TEST_F(DeskTest, PageIsClampedSoStrip27NeverPassesChannel255)
{
    desk.setPageOffset(300);
    EXPECT_EQ(desk.pageOffset(), 228);
    EXPECT_EQ(state.controls.pageOffset, 228);
    desk.setPageOffset(-4);
    EXPECT_EQ(desk.pageOffset(), 0);
}

TEST_F(DeskTest, BoxesAndFlags)
{
    desk.setPageOffset(10);
    state.image[ShowImage::selectAddress(11)] = 1;
    state.image[ShowImage::selectAddress(12)] = 2;   // only exactly 1 checks a box
    state.image[ShowImage::selectAddress(37)] = 1;
    state.image[ShowImage::selectAddress(38)] = 1;   // off the page
    const auto boxes = desk.CheckBoxFromMemory();
    EXPECT_TRUE(boxes[0]);
    EXPECT_FALSE(boxes[1]);
    EXPECT_TRUE(boxes[26]);
    EXPECT_EQ(state.controls.stripChecked, boxes);   // the overlay takes them at once

    desk.boxChanged(2, true);
    EXPECT_EQ(flag(12), 1);
    EXPECT_TRUE(state.controls.stripChecked[1]);
    desk.boxChanged(1, false);
    desk.boxChanged(27, false);
    state.image[ShowImage::selectAddress(37)] = 1;
    desk.CheckBoxToMemory();   // writes exactly the 27 visible flags from the boxes
    EXPECT_EQ(flag(11), 0);
    EXPECT_EQ(flag(12), 1);
    EXPECT_EQ(flag(37), 0);
    EXPECT_EQ(flag(38), 1);
}

// The manual overlay sees a page turn in one step: the new page's boxes, and the
// scene's levels in every strip the refresh will reload.
TEST_F(DeskTest, PageTurnMovesTheOverlayAtOnce)
{
    state.image.DataWrite(0, 12, 90);
    state.image[ShowImage::selectAddress(12)] = 1;
    desk.setManual(true);
    desk.boxChanged(1, true);    // strip 1 holds its fader at 200
    desk.faderMoved(1, 200);
    desk.setPageOffset(10);
    const tavrelia::ControlState& c = state.controls;
    EXPECT_EQ(c.pageOffset, 10);
    EXPECT_EQ(c.stripLevel[0], 200);   // a manual fader keeps its position
    EXPECT_EQ(c.stripLevel[1], 90);    // strip 2 is now channel 12
    EXPECT_FALSE(c.stripChecked[0]);   // channel 11 is not selected
    EXPECT_TRUE(c.stripChecked[1]);    // channel 12 is
}

}  // namespace
