#include <gtest/gtest.h>

#include <cstring>

#include "editing/channel_names.h"
#include "editing/name_block_copy.h"
#include "editing/scene_list.h"
#include "console_state.h"

using tavrelia::ChannelColors;
using tavrelia::NameBlockCopy;
using tavrelia::ShowImage;

namespace {

// The copy, the display tables it copies along and the scene list that keeps its
// undo copy.
struct Copier {
    tavrelia::ConsoleState state;
    ChannelColors colors;
    tavrelia::ChannelDesk desk{{state.image, state.controls, state.play, state.dmx, state.consoleLock}};
    tavrelia::ChannelNames names{state.image, desk, state.consoleLock};
    tavrelia::SceneList sceneList{
        {state.image, state.undoImage, state.sceneBuffer, state.play, state.consoleLock}};
    NameBlockCopy nameBlockCopy{state.image, names, colors, sceneList, state.consoleLock};
};

void setName(ShowImage& image, int channel, const char* name)
{
    uint8_t* bytes = image.data() + ShowImage::nameAddress(channel);
    std::memset(bytes, 0, ShowImage::kNameSize);
    std::memcpy(bytes, name, std::strlen(name));
}

std::string nameOf(const ShowImage& image, int channel)
{
    const uint8_t* bytes = image.data() + ShowImage::nameAddress(channel);
    return std::string(reinterpret_cast<const char*>(bytes), strnlen(reinterpret_cast<const char*>(bytes), 16));
}

class NameBlockCopyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        copier.state.image.resetToNewShow();
        for (int c = 1; c <= 10; ++c) {
            setName(copier.state.image, c, ("xDev" + std::to_string(c)).c_str());
            copier.colors.ChannelPicture[c] = static_cast<uint8_t>(20 + c);
            copier.colors.setNameColor(c, {static_cast<uint8_t>(130 + c), 140, 150});
        }
    }
    Copier copier;
};

TEST_F(NameBlockCopyTest, ThreeNumberedCopiesOfTenNames)
{
    NameBlockCopy::Params p;   // 1..10 from 11, digit 2
    p.repeat = 3;
    const auto outcome = copier.nameBlockCopy.ButtonNameBlocCopyClick(p);
    EXPECT_FALSE(outcome.refused);
    EXPECT_EQ(outcome.from, 41);
    EXPECT_EQ(outcome.digit, 5);

    for (int copy = 0; copy < 3; ++copy) {
        for (int b = 1; b <= 10; ++b) {
            const int d = 10 * (copy + 1) + b;
            SCOPED_TRACE(d);
            EXPECT_EQ(nameOf(copier.state.image, d), std::to_string(copy + 2) + "Dev" + std::to_string(b));
            EXPECT_EQ(copier.colors.ChannelPicture[d], 20 + b);
            EXPECT_EQ(copier.colors.nameColor(d), copier.colors.nameColor(b));
            const ChannelColors::Rgb grey = copy % 2 == 0 ? NameBlockCopy::kOddCopy : NameBlockCopy::kEvenCopy;
            EXPECT_EQ(copier.colors.groupColor(d), b == 1 ? NameBlockCopy::kFirstChannel : grey);
        }
    }
    EXPECT_EQ(nameOf(copier.state.image, 41), "");
    EXPECT_EQ(nameOf(copier.state.image, 1), "xDev1");   // the source keeps its names
    EXPECT_TRUE(copier.sceneList.undoAvailable());
}

TEST_F(NameBlockCopyTest, OverlapRepeatsTheFirstNamesWithoutNumbersOrMarks)
{
    NameBlockCopy::Params p{5, 8, 7, 1, 2, false, false};
    copier.nameBlockCopy.ButtonNameBlocCopyClick(p);
    const char* expected[] = {"xDev5", "xDev6", "xDev5", "xDev6", "xDev5", "xDev6"};
    for (int c = 5; c <= 10; ++c)
        EXPECT_EQ(nameOf(copier.state.image, c), expected[c - 5]) << c;
    EXPECT_EQ(copier.colors.groupColor(7), NameBlockCopy::kOddCopy);
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
        Copier fresh;
        fresh.state.image.resetToNewShow();
        const auto before = fresh.state.image.bytes();
        const auto outcome = fresh.nameBlockCopy.ButtonNameBlocCopyClick({c.first, c.last, c.from, 1, 2, true, true});
        EXPECT_EQ(outcome.refused, c.refused) << c.from;
        EXPECT_TRUE(fresh.sceneList.undoAvailable());   // taken even when refused
        if (c.refused) {
            EXPECT_EQ(fresh.state.image.bytes(), before);
        }
    }
}

TEST_F(NameBlockCopyTest, LaterCopiesStopAtChannel255)
{
    NameBlockCopy::Params p{1, 10, 241, 3, 2, true, true};
    const auto before = copier.state.image.bytes();
    copier.nameBlockCopy.ButtonNameBlocCopyClick(p);
    EXPECT_EQ(nameOf(copier.state.image, 250), "2Dev10");
    EXPECT_EQ(nameOf(copier.state.image, 251), "3Dev1");
    EXPECT_EQ(nameOf(copier.state.image, 255), "3Dev5");
    EXPECT_EQ(copier.colors.groupColor(251), NameBlockCopy::kFirstChannel);
    // Nothing past the last name: the static pictures start right after it.
    const int end = ShowImage::nameAddress(256);
    EXPECT_TRUE(std::equal(before.begin() + end, before.end(), copier.state.image.bytes().begin() + end));
    EXPECT_EQ(copier.colors.groupColor(256), (ChannelColors::Rgb{0, 0, 0}));
}

}  // namespace
