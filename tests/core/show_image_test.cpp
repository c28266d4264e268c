#include <gtest/gtest.h>

#include "console.h"
#include "show/show_image.h"

using tavrelia::Console;
using tavrelia::ShowImage;

TEST(ShowImage, IdentHeaderIsTheTextThenZeros)
{
    const auto& h = ShowImage::identHeader();
    const std::string text(h.begin(), h.begin() + 99);
    EXPECT_EQ(text.substr(0, 17), "it is DMX512 File");
    EXPECT_EQ(text.substr(96), "   ");
    for (int i = 99; i < 128; ++i)
        EXPECT_EQ(h[i], 0) << i;
}

TEST(ShowImage, NewShowKeepsNamesAndAutomatsAndClearsTheRest)
{
    ShowImage img;
    img.bytes().fill(7);
    img.resetToNewShow();
    EXPECT_EQ(img[ShowImage::kCurrentScene], 0);
    EXPECT_EQ(img[ShowImage::kLastScene], 1);
    EXPECT_EQ(img[ShowImage::kSceneTempo], 44);
    EXPECT_EQ(img[ShowImage::kColorLock], 1);
    EXPECT_EQ(img[ShowImage::kFormRed], 190);
    EXPECT_EQ(img[ShowImage::kFormGreen], 197);
    EXPECT_EQ(img[ShowImage::kFormBlue], 190);
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(img[ShowImage::rateAddress(c)], 255);
    // kept: names, RateLevel, StartCode, automat bytes, unused system bytes
    EXPECT_EQ(img[ShowImage::nameAddress(10)], 7);
    EXPECT_EQ(img[ShowImage::kRateLevel], 7);
    EXPECT_EQ(img[ShowImage::kStartCode], 7);
    EXPECT_EQ(img[ShowImage::kAvtomat2Dark], 7);
    EXPECT_EQ(img[200], 7);
    for (int i = ShowImage::kPicturesBase; i <= ShowImage::kImageSize; ++i)
        ASSERT_EQ(img[i], 0) << i;
}

TEST(ShowImage, LevelWritersClampAndStayInTheirScene)
{
    ShowImage img;
    img.DataWrite(3, 10, 300);
    img.DataWrite(3, 11, -5);
    img.DataWrite(255, 255, 128);
    EXPECT_EQ(img[16384 + 3 * 256 + 10], 255);
    EXPECT_EQ(img[16384 + 3 * 256 + 11], 0);
    EXPECT_EQ(img[81919], 128);
    EXPECT_EQ(img.DataRead(255, 255), 128);

    img.DataWriteXY(2, 20, 999, -1);
    EXPECT_EQ(img.DataRead(2, 21), 255);
    EXPECT_EQ(img.DataRead(2, 22), 0);
    // The pair of the last channel of the last scene never reaches the spare byte.
    img.DataWriteXY(255, 254, 9, 9);
    EXPECT_EQ(img.DataRead(255, 255), 9);
    EXPECT_EQ(img[ShowImage::kImageSize], 0);
}

TEST(Console, ClearShowDataZeroesFrameAndBufferAndStopsPlay)
{
    Console console;
    console.dmx.OutputFrame.fill(9);
    console.sceneBuffer.fill(9);
    console.play.PlayFlag = true;
    console.clearShowData();
    for (int i = 0; i < 512; ++i)
        ASSERT_EQ(console.dmx.OutputFrame[i], 0);
    EXPECT_EQ(console.dmx.OutputFrame[512], 9);   // only slots 0..511 are cleared
    EXPECT_EQ(console.sceneBuffer[0], 0);
    EXPECT_FALSE(console.play.PlayFlag);
    EXPECT_EQ(console.dmx.RecodeTable[512], 512);
    EXPECT_EQ(console.dmx.RecodeTable[0], 0);
}
