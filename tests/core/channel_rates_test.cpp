#include <gtest/gtest.h>

#include "editing/channel_desk.h"
#include "playback/channel_rates.h"
#include "console_state.h"

using tavrelia::ChannelRates;
using tavrelia::ShowImage;

namespace {

// The rates and the desk whose strips and boxes they work through.
struct RatesDesk {
    tavrelia::ConsoleState state;
    tavrelia::ChannelDesk desk{{state.image, state.controls, state.play, state.dmx, state.consoleLock}};
    ChannelRates rates{state.image, desk, state.consoleLock};
};

uint8_t rate(const ShowImage& image, int channel)
{
    return image[ShowImage::rateAddress(channel)];
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
    RatesDesk desk;
    const std::tuple<int, int, const char*> cases[] = {
        {0, 1, "15"}, {1, 2, "7"}, {2, 4, "3"}, {3, 8, "2"}, {4, 20, "1"},
        {5, 50, "0,5"}, {6, 100, "0,2"}, {7, 255, "no"}, {9, 255, "no"}};
    for (auto [position, step, caption] : cases) {
        EXPECT_EQ(desk.rates.TabRate(position), QString::fromLatin1(caption));
        EXPECT_EQ(desk.rates.lastStep(), step);
    }
}

TEST(ChannelRates, SelectedBarTakesTheVisibleBoxesFirst)
{
    RatesDesk desk;
    desk.state.image.resetToNewShow();
    // A stale flag of a visible channel whose box is clear does not count.
    desk.state.image[ShowImage::selectAddress(7)] = 1;
    desk.rates.applyToSelected(4);
    EXPECT_EQ(rate(desk.state.image, 7), 255);
    EXPECT_EQ(desk.state.image[ShowImage::selectAddress(7)], 0);
}

}  // namespace
