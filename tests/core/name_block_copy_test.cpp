#include <gtest/gtest.h>

#include <cstring>

#include "console.h"

using tavrelia::ChannelColors;
using tavrelia::Console;
using tavrelia::NameBlockCopy;
using tavrelia::ShowImage;

namespace {

void setName(Console& console, int channel, const char* name)
{
    uint8_t* bytes = console.image.data() + ShowImage::nameAddress(channel);
    std::memset(bytes, 0, ShowImage::kNameSize);
    std::memcpy(bytes, name, std::strlen(name));
}

std::string nameOf(const Console& console, int channel)
{
    const uint8_t* bytes = console.image.data() + ShowImage::nameAddress(channel);
    return std::string(reinterpret_cast<const char*>(bytes), strnlen(reinterpret_cast<const char*>(bytes), 16));
}

class NameBlockCopyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        console.clearShowData();
        for (int c = 1; c <= 10; ++c) {
            setName(console, c, ("xDev" + std::to_string(c)).c_str());
            console.colors.ChannelPicture[c] = static_cast<uint8_t>(20 + c);
            console.colors.setNameColor(c, {static_cast<uint8_t>(130 + c), 140, 150});
        }
    }
    Console console;
};

TEST_F(NameBlockCopyTest, ThreeNumberedCopiesOfTenNames)
{
    NameBlockCopy::Params p;   // 1..10 from 11, digit 2
    p.repeat = 3;
    const auto outcome = console.nameBlockCopy.ButtonNameBlocCopyClick(p);
    EXPECT_FALSE(outcome.refused);
    EXPECT_EQ(outcome.from, 41);
    EXPECT_EQ(outcome.digit, 5);

    for (int copy = 0; copy < 3; ++copy) {
        for (int b = 1; b <= 10; ++b) {
            const int d = 10 * (copy + 1) + b;
            SCOPED_TRACE(d);
            EXPECT_EQ(nameOf(console, d), std::to_string(copy + 2) + "Dev" + std::to_string(b));
            EXPECT_EQ(console.colors.ChannelPicture[d], 20 + b);
            EXPECT_EQ(console.colors.nameColor(d), console.colors.nameColor(b));
            const ChannelColors::Rgb grey = copy % 2 == 0 ? NameBlockCopy::kOddCopy : NameBlockCopy::kEvenCopy;
            EXPECT_EQ(console.colors.groupColor(d), b == 1 ? NameBlockCopy::kFirstChannel : grey);
        }
    }
    EXPECT_EQ(nameOf(console, 41), "");
    EXPECT_EQ(nameOf(console, 1), "xDev1");   // the source keeps its names
    EXPECT_TRUE(console.sceneList.undoAvailable());
}

TEST_F(NameBlockCopyTest, OverlapRepeatsTheFirstNamesWithoutNumbersOrMarks)
{
    NameBlockCopy::Params p{5, 8, 7, 1, 2, false, false};
    console.nameBlockCopy.ButtonNameBlocCopyClick(p);
    const char* expected[] = {"xDev5", "xDev6", "xDev5", "xDev6", "xDev5", "xDev6"};
    for (int c = 5; c <= 10; ++c)
        EXPECT_EQ(nameOf(console, c), expected[c - 5]) << c;
    EXPECT_EQ(console.colors.groupColor(7), NameBlockCopy::kOddCopy);
}

TEST_F(NameBlockCopyTest, LimitIsCheckedBeforeTheFirstCopyOnly)
{
    struct Case {
        int first, last, from;
        bool refused;
    };
    const Case cases[] = {{250, 255, 250, false}, {250, 255, 251, true}, {1, 10, 246, false},
                          {1, 10, 247, true}};
    for (const Case& c : cases) {
        Console fresh;
        fresh.clearShowData();
        const auto before = fresh.image.bytes();
        const auto outcome = fresh.nameBlockCopy.ButtonNameBlocCopyClick({c.first, c.last, c.from, 1, 2, true, true});
        EXPECT_EQ(outcome.refused, c.refused) << c.from;
        EXPECT_TRUE(fresh.sceneList.undoAvailable());   // taken even when refused
        if (c.refused) {
            EXPECT_EQ(fresh.image.bytes(), before);
        }
    }
}

TEST_F(NameBlockCopyTest, LaterCopiesStopAtChannel255)
{
    NameBlockCopy::Params p{1, 10, 241, 3, 2, true, true};
    const auto before = console.image.bytes();
    console.nameBlockCopy.ButtonNameBlocCopyClick(p);
    EXPECT_EQ(nameOf(console, 250), "2Dev10");
    EXPECT_EQ(nameOf(console, 251), "3Dev1");
    EXPECT_EQ(nameOf(console, 255), "3Dev5");
    EXPECT_EQ(console.colors.groupColor(251), NameBlockCopy::kFirstChannel);
    // Nothing past the last name: the static pictures start right after it.
    const int end = ShowImage::nameAddress(256);
    EXPECT_TRUE(std::equal(before.begin() + end, before.end(), console.image.bytes().begin() + end));
    EXPECT_EQ(console.colors.groupColor(256), (ChannelColors::Rgb{0, 0, 0}));
}

}  // namespace
