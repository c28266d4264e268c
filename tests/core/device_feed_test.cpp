#include <gtest/gtest.h>

#include <set>

#include "output/device_feed.h"

using tavrelia::DeviceFeed;
using tavrelia::DmxFrame;

namespace {

TEST(DeviceFeed, ColourWheelSteps)
{
    struct Case {
        int value;
        DeviceFeed::Rgb rgb;
    };
    const Case cases[] = {
        {0, {255, 255, 255}},   {20, {255, 255, 255}}, {21, {255, 255, 0}},   {30, {255, 255, 0}},
        {40, {255, 255, 0}},    {41, {0, 255, 0}},     {61, {0, 0, 255}},     {81, {255, 0, 255}},
        {101, {255, 0, 0}},     {121, {0, 255, 255}},  {141, {127, 127, 255}}, {161, {255, 255, 127}},
        {181, {127, 255, 255}}, {200, {127, 255, 255}},
    };
    std::minstd_rand random(1);
    for (const Case& c : cases) {
        const DeviceFeed::Rgb rgb = DeviceFeed::colourWheel(static_cast<uint8_t>(c.value), random);
        EXPECT_EQ(rgb.red, c.rgb.red) << c.value;
        EXPECT_EQ(rgb.green, c.rgb.green) << c.value;
        EXPECT_EQ(rgb.blue, c.rgb.blue) << c.value;
    }
}

TEST(DeviceFeed, StrobeRule)
{
    const int cases[][3] = {
        // value, phase, intensity
        {0, 255, 0},     {10, 255, 0},    {11, 0, 22},     {127, 0, 254},  {128, 0, 0},
        {128, 255, 255}, {252, 255, 255}, {252, 0, 0},     {253, 0, 255},  {255, 0, 255},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DeviceFeed::strobe(static_cast<uint8_t>(c[0]), static_cast<uint8_t>(c[1])), c[2])
            << c[0] << " phase " << c[1];
    }
}

TEST(DeviceFeed, EachDeviceFamilyReadsItsOwnSlots)
{
    DeviceFeed feed;
    tavrelia::ConsoleLock lock;
    std::minstd_rand random(1);
    DmxFrame f{};
    // device 1 at slots 17..30
    f[18] = 0;     // intensity, inverted
    f[19] = 101;   // width div 4
    f[21] = 60;    // pan
    f[22] = 70;    // tilt
    f[23] = 10;    // red, inverted
    f[24] = 20;    // blue, inverted
    f[25] = 30;    // green, inverted
    // device 12 at 176..190
    f[177] = 90;
    f[178] = 30;   // colour wheel: yellow
    f[180] = 1;
    f[181] = 2;
    // device 18 at 241..250
    f[241] = 5;    // green, inverted
    f[242] = 6;    // blue, inverted
    f[243] = 7;    // red, inverted
    f[244] = 50;   // strobe: 2 * 50
    f[245] = 8;
    f[246] = 9;
    // devices 19 and 34 on slots 1 and 16
    f[1] = 44;
    f[16] = 55;
    feed.DevX[5] = 33;   // placement is not the feed's to change
    feed.DevPan[30] = 66;
    feed.fill(f, random, lock.hold());

    EXPECT_EQ(feed.DevIntensity[1], 255);
    EXPECT_EQ(feed.DevWidth[1], 25);
    EXPECT_EQ(feed.DevPan[1], 60);
    EXPECT_EQ(feed.DevTilt[1], 70);
    EXPECT_EQ(feed.DevRed[1], 245);
    EXPECT_EQ(feed.DevGreen[1], 225);
    EXPECT_EQ(feed.DevBlue[1], 235);

    EXPECT_EQ(feed.DevIntensity[12], 90);
    EXPECT_EQ(feed.DevRed[12], 255);
    EXPECT_EQ(feed.DevGreen[12], 255);
    EXPECT_EQ(feed.DevBlue[12], 0);
    EXPECT_EQ(feed.DevPan[12], 1);
    EXPECT_EQ(feed.DevTilt[12], 2);
    EXPECT_EQ(feed.DevWidth[12], 20);

    EXPECT_EQ(feed.DevGreen[18], 250);
    EXPECT_EQ(feed.DevBlue[18], 249);
    EXPECT_EQ(feed.DevRed[18], 248);
    EXPECT_EQ(feed.DevIntensity[18], 100);
    EXPECT_EQ(feed.DevPan[18], 8);
    EXPECT_EQ(feed.DevTilt[18], 9);
    EXPECT_EQ(feed.DevWidth[18], 20);

    EXPECT_EQ(feed.DevIntensity[19], 44);
    EXPECT_EQ(feed.DevIntensity[34], 55);
    EXPECT_EQ(feed.DevX[5], 33);
    EXPECT_EQ(feed.DevPan[30], 66);
    EXPECT_EQ(feed.DevIntensity[35], 0);
}

TEST(DeviceFeed, FixedColoursRepeatAfterEightDevices)
{
    DeviceFeed feed;
    tavrelia::ConsoleLock lock;
    std::minstd_rand random(1);
    feed.fill(DmxFrame{}, random, lock.hold());
    const uint8_t expected[8][3] = {{255, 0, 0}, {255, 255, 0}, {0, 255, 0},     {0, 0, 255},
                                    {0, 255, 255}, {0, 120, 255}, {255, 255, 255}, {127, 255, 127}};
    for (int d = 19; d <= 34; ++d) {
        const auto& rgb = expected[(d - 19) % 8];
        EXPECT_EQ(feed.DevRed[d], rgb[0]) << d;
        EXPECT_EQ(feed.DevGreen[d], rgb[1]) << d;
        EXPECT_EQ(feed.DevBlue[d], rgb[2]) << d;
    }
}

TEST(DeviceFeed, WheelAtItsLastStretchDrawsANewColourEveryTick)
{
    DeviceFeed feed;
    tavrelia::ConsoleLock lock;
    std::minstd_rand random(7);
    DmxFrame f{};
    f[103] = 230;   // device 7's wheel
    std::set<std::tuple<int, int, int>> colours;
    for (int i = 0; i < 20; ++i) {
        feed.fill(f, random, lock.hold());
        EXPECT_LE(feed.DevRed[7], 254);
        EXPECT_LE(feed.DevGreen[7], 254);
        EXPECT_LE(feed.DevBlue[7], 254);
        colours.insert({feed.DevRed[7], feed.DevGreen[7], feed.DevBlue[7]});
    }
    EXPECT_GT(colours.size(), 15u);
    // The other wheels at a fixed step stay put.
    EXPECT_EQ(feed.DevRed[8], 255);
    EXPECT_EQ(feed.DevGreen[8], 255);
    EXPECT_EQ(feed.DevBlue[8], 255);
}

}  // namespace
