#include <gtest/gtest.h>

#include "console.h"

using tavrelia::ChannelRates;
using tavrelia::Console;
using tavrelia::ShowImage;

namespace {

uint8_t rate(const Console& console, int channel)
{
    return console.image[ShowImage::rateAddress(channel)];
}

TEST(ChannelRates, StoredRateToBarPosition)
{
    const std::pair<int, int> cases[] = {{0, 0},  {1, 0},  {2, 1},  {3, 2},   {4, 2},   {5, 3},
                                         {8, 3},  {9, 4},  {20, 4}, {21, 5},  {50, 5},  {51, 6},
                                         {100, 6}, {101, 7}, {255, 7}};
    for (auto [stored, position] : cases)
        EXPECT_EQ(ChannelRates::RateToPosition(stored), position) << stored;
    // Every step of the table shows its own position.
    for (int p = 0; p < ChannelRates::kPositions; ++p)
        EXPECT_EQ(ChannelRates::RateToPosition(ChannelRates::RateTable[p].step), p);
}

TEST(ChannelRates, TableStepsAndCaptions)
{
    Console console;
    const std::tuple<int, int, const char*> cases[] = {
        {0, 1, "15"}, {1, 2, "7"}, {2, 4, "3"}, {3, 8, "2"}, {4, 20, "1"},
        {5, 50, "0,5"}, {6, 100, "0,2"}, {7, 255, "no"}, {9, 255, "no"}};
    for (auto [position, step, caption] : cases) {
        EXPECT_EQ(console.rates.TabRate(position), QString::fromLatin1(caption));
        EXPECT_EQ(console.rates.lastStep(), step);
    }
}

TEST(ChannelRates, SelectedBarTakesTheVisibleBoxesFirst)
{
    Console console;
    console.clearShowData();
    // A stale flag of a visible channel whose box is clear does not count.
    console.image[ShowImage::selectAddress(7)] = 1;
    console.rates.applyToSelected(4);
    EXPECT_EQ(rate(console, 7), 255);
    EXPECT_EQ(console.image[ShowImage::selectAddress(7)], 0);
}

}  // namespace
