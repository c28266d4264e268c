#include <gtest/gtest.h>

#include "editing/channel_desk.h"
#include "editing/channel_names.h"
#include "console_state.h"

using tavrelia::ChannelNames;
using tavrelia::ShowImage;

namespace {

struct NamesTest : ::testing::Test {
    NamesTest() { state.image.resetToNewShow(); }

    std::vector<uint8_t> stored(int channel) const
    {
        const uint8_t* p = state.image.data() + ShowImage::nameAddress(channel);
        return {p, p + 16};
    }
    void store(int channel, std::initializer_list<uint8_t> bytes)
    {
        std::copy(bytes.begin(), bytes.end(), state.image.data() + ShowImage::nameAddress(channel));
    }
    ChannelNames::Fields withField(int strip, const QString& text)
    {
        ChannelNames::Fields fields = names.ReturnName();
        fields[strip - 1] = text;
        return fields;
    }

    tavrelia::ConsoleState state;
    tavrelia::ChannelDesk desk{{state.image, state.controls, state.play, state.dmx, state.consoleLock}};
    ChannelNames names{state.image, desk, state.consoleLock};
};

std::vector<uint8_t> padded(std::vector<uint8_t> bytes)
{
    bytes.resize(16, 0);
    return bytes;
}

TEST_F(NamesTest, InnerSpaceIsStoredAsZeroAndShownAgain)
{
    desk.setPageOffset(10);
    names.Edit2Exit(withField(4, QStringLiteral("Par 1")));
    EXPECT_EQ(stored(14), padded({'P', 'a', 'r', 0, '1'}));
    // Every other reader (the page, OSC, the graph's caption) sees it whole at once.
    EXPECT_EQ(ChannelNames::storedName(state.image, 14), QStringLiteral("Par 1"));

    desk.setPageOffset(0);
    names.ReturnName();
    desk.setPageOffset(10);
    EXPECT_EQ(names.ReturnName()[3], QStringLiteral("Par 1"));
}

TEST_F(NamesTest, FieldTextsAreCutToSixteenCharacters)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("ABCDEFGHIJKLMNOP"), QStringLiteral("ABCDEFGHIJKLMNOP")},
        {QStringLiteral("ABCDEFGHIJKLMNOPQRS"), QStringLiteral("ABCDEFGHIJKLMNOP")},
        {QStringLiteral("Диммер сцены 12"), QStringLiteral("Диммер сцены 12")},
        {QStringLiteral("Ёжик ёлка №5"), QStringLiteral("Ёжик ёлка №5")},
        {QString(), QString()},
    };
    for (const auto& [typed, shown] : cases) {
        names.Edit2Exit(withField(1, typed));
        EXPECT_EQ(names.ReturnName()[0], shown) << typed.toStdString();
    }
}

TEST_F(NamesTest, StoreIsCodePage1251)
{
    names.Edit2Exit(withField(2, QStringLiteral("Свет")));
    EXPECT_EQ(stored(2), padded({0xD1, 0xE2, 0xE5, 0xF2}));
    // A character the code page lacks becomes '?' and never takes a second byte.
    names.Edit2Exit(withField(2, QStringLiteral("a☺b")));
    EXPECT_EQ(stored(2), padded({'a', '?', 'b'}));
    // A field cut inside a character ends in '?'; the next field is its own.
    ChannelNames::Fields fields = names.ReturnName();
    fields[0] = QString::fromUcs4(U"ABCDEFGHIJKLMNO\U0001F600");
    fields[1] = QStringLiteral("xy");
    names.Edit2Exit(fields);
    EXPECT_EQ(stored(1), std::vector<uint8_t>({'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J',
                                               'K', 'L', 'M', 'N', 'O', '?'}));
    EXPECT_EQ(stored(2), padded({'x', 'y'}));
}

TEST_F(NamesTest, LoadingRewritesTheStoredName)
{
    store(3, {'a', 'b', 0, 0, 'c', ' ', ' '});
    EXPECT_EQ(names.LoadEdit(3), QStringLiteral("ab  c"));
    EXPECT_EQ(stored(3), padded({'a', 'b', ' ', ' ', 'c'}));
    // A name that starts with a zero byte shows a leading blank, not nothing.
    store(4, {0, 'x'});
    EXPECT_EQ(names.LoadEdit(4), QStringLiteral(" x"));
}

TEST_F(NamesTest, LeavingAFieldZeroesEverySpaceOfTheNamesRegion)
{
    store(200, {'o', ' ', 'f', 'f'});
    state.image[ShowImage::kNamesBase + ShowImage::kNamesClearSize] = ' ';   // first byte after it
    names.Edit2Exit(names.ReturnName());
    EXPECT_EQ(stored(200), padded({'o', 0, 'f', 'f'}));
    EXPECT_EQ(state.image[ShowImage::kNamesBase + ShowImage::kNamesClearSize], ' ');
}

TEST_F(NamesTest, StoringEveryFieldLeavesOtherPagesAlone)
{
    store(28, {'k', 'e', 'e', 'p'});
    store(27, {'o', 'l', 'd'});
    ChannelNames::Fields fields;
    fields[26] = QStringLiteral("new");
    names.SaveEditAll(fields);
    EXPECT_EQ(stored(27), std::vector<uint8_t>({'n', 'e', 'w', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
                                                ' ', ' ', ' ', ' ', ' '}));
    EXPECT_EQ(stored(1), std::vector<uint8_t>(16, ' '));
    EXPECT_EQ(stored(28), padded({'k', 'e', 'e', 'p'}));
}

}  // namespace
