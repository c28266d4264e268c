#include <gtest/gtest.h>

#include "console.h"

using tavrelia::ChannelDesk;
using tavrelia::Console;
using tavrelia::ShowImage;

namespace {

struct DeskTest : ::testing::Test {
    DeskTest()
    {
        console.clearShowData();
        console.image[ShowImage::kCurrentScene] = 5;
    }
    uint8_t level(int scene, int channel) const
    {
        return console.image[ShowImage::levelAddress(scene, channel)];
    }
    uint8_t flag(int channel) const { return console.image[ShowImage::selectAddress(channel)]; }

    Console console;
    ChannelDesk& desk = console.desk;
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

TEST_F(DeskTest, FaderWritesItsChannelOfTheCurrentSceneOnlyWhileStopped)
{
    struct Case {
        int page, strip, channel;
    };
    for (const Case c : {Case{0, 3, 3}, Case{0, 1, 1}, Case{228, 27, 255}, Case{100, 27, 127}}) {
        desk.setPageOffset(c.page);
        desk.faderMoved(c.strip, 200);
        EXPECT_EQ(level(5, c.channel), 200) << c.channel;
        EXPECT_EQ(console.controls.stripLevel[c.strip - 1], 200);

        console.PlayFlag = true;
        desk.faderMoved(c.strip, 17);
        EXPECT_EQ(level(5, c.channel), 200) << "the show must not change while playing";
        EXPECT_EQ(console.controls.stripLevel[c.strip - 1], 17) << "the manual overlay follows";
        console.PlayFlag = false;
    }
    EXPECT_EQ(level(0, 3), 0);
    EXPECT_EQ(level(5, 0), 0);
}

TEST_F(DeskTest, PageIsClampedSoStrip27NeverPassesChannel255)
{
    desk.setPageOffset(300);
    EXPECT_EQ(desk.pageOffset(), 228);
    EXPECT_EQ(console.controls.pageOffset, 228);
    desk.setPageOffset(-4);
    EXPECT_EQ(desk.pageOffset(), 0);
}

TEST_F(DeskTest, SceneLevelsFollowTheCurrentSceneAndPage)
{
    for (int c = 1; c <= 255; ++c)
        console.image.DataWrite(5, c, c);
    console.image.DataWrite(6, 30, 99);
    desk.setPageOffset(228);
    auto levels = desk.sceneLevels();
    EXPECT_EQ(levels.front(), 229);
    EXPECT_EQ(levels.back(), 255);

    console.image[ShowImage::kCurrentScene] = 6;
    desk.setPageOffset(20);
    levels = desk.sceneLevels();
    EXPECT_EQ(levels[9], 99);
    EXPECT_EQ(console.SceneAddress, ShowImage::sceneAddress(6));
}

TEST_F(DeskTest, VisibleLevelButtonsWriteOnlyThePage)
{
    desk.setPageOffset(228);
    ASSERT_TRUE(desk.setVisibleLevels(255));
    for (int c = 0; c <= 255; ++c)
        EXPECT_EQ(level(5, c), c >= 229 ? 255 : 0) << c;
    for (int c = 1; c <= 255; ++c)
        EXPECT_EQ(level(6, c), 0);
    EXPECT_EQ(console.image[ShowImage::kImageSize], 0);

    desk.setPageOffset(0);
    ASSERT_TRUE(desk.setVisibleLevels(127));
    EXPECT_EQ(level(5, 27), 127);
    EXPECT_EQ(level(5, 28), 0);
    EXPECT_EQ(level(5, 0), 0);
}

TEST_F(DeskTest, AllToZeroClearsTheWholeRecordIncludingByteZero)
{
    for (int c = 0; c <= 255; ++c) {
        console.image[ShowImage::levelAddress(5, c)] = 9;
        console.image[ShowImage::levelAddress(4, c)] = 9;
        console.image[ShowImage::levelAddress(6, c)] = 9;
    }
    ASSERT_TRUE(desk.setAllLevelsToZero());
    for (int c = 0; c <= 255; ++c) {
        EXPECT_EQ(level(5, c), 0) << c;
        EXPECT_EQ(level(4, c), 9);
        EXPECT_EQ(level(6, c), 9);
    }
}

TEST_F(DeskTest, LevelButtonsRefuseWhilePlaying)
{
    console.image.DataWrite(5, 3, 50);
    console.PlayFlag = true;
    EXPECT_FALSE(desk.setAllLevelsToZero());
    EXPECT_FALSE(desk.setVisibleLevels(255));
    EXPECT_EQ(level(5, 3), 50);
    EXPECT_EQ(level(5, 4), 0);
}

TEST_F(DeskTest, SelectionFlags)
{
    for (int c = 0; c <= 255; ++c)
        console.image[ShowImage::selectAddress(c)] = 1;
    desk.setPageOffset(100);
    desk.setVisibleFlags(false);
    for (int c = 0; c <= 255; ++c)
        EXPECT_EQ(flag(c), c >= 101 && c <= 127 ? 0 : 1) << c;
    desk.setVisibleFlags(true);
    desk.clearAllFlags();
    for (int c = 0; c <= 255; ++c)
        EXPECT_EQ(flag(c), 0) << c;
    EXPECT_EQ(console.image[ShowImage::kSelectBase - 1], 0);
    EXPECT_EQ(console.image[ShowImage::kSelectBase + 256], 0);
}

TEST_F(DeskTest, BoxesAndFlags)
{
    desk.setPageOffset(10);
    console.image[ShowImage::selectAddress(11)] = 1;
    console.image[ShowImage::selectAddress(12)] = 2;   // only exactly 1 checks a box
    console.image[ShowImage::selectAddress(37)] = 1;
    console.image[ShowImage::selectAddress(38)] = 1;   // off the page
    const auto boxes = desk.CheckBoxFromMemory();
    EXPECT_TRUE(boxes[0]);
    EXPECT_FALSE(boxes[1]);
    EXPECT_TRUE(boxes[26]);

    desk.boxChanged(2, true);
    EXPECT_EQ(flag(12), 1);
    EXPECT_TRUE(console.controls.stripChecked[1]);
    desk.boxChanged(1, false);
    desk.CheckBoxToMemory();   // writes exactly the 27 visible flags from the boxes
    EXPECT_EQ(flag(11), 0);
    EXPECT_EQ(flag(12), 1);
    EXPECT_EQ(flag(37), 0);
    EXPECT_EQ(flag(38), 1);
}

}  // namespace
