#include <gtest/gtest.h>

#include "console.h"

using tavrelia::ChannelNames;
using tavrelia::Console;
using tavrelia::ShowImage;

namespace {

struct NamesTest : ::testing::Test {
    NamesTest() { console.clearShowData(); }

    std::vector<uint8_t> stored(int channel) const
    {
        const uint8_t* p = console.image.data() + ShowImage::nameAddress(channel);
        return {p, p + 16};
    }
    void store(int channel, std::initializer_list<uint8_t> bytes)
    {
        std::copy(bytes.begin(), bytes.end(), console.image.data() + ShowImage::nameAddress(channel));
    }
    ChannelNames::Fields withField(int strip, const QString& text)
    {
        ChannelNames::Fields fields = console.names.ReturnName();
        fields[strip - 1] = text;
        return fields;
    }

    Console console;
};

std::vector<uint8_t> padded(std::vector<uint8_t> bytes)
{
    bytes.resize(16, 0);
    return bytes;
}

TEST_F(NamesTest, InnerSpaceIsStoredAsZeroAndShownAgain)
{
    console.desk.setPageOffset(10);
    console.names.Edit2Exit(withField(4, QStringLiteral("Par 1")));
    EXPECT_EQ(stored(14), padded({'P', 'a', 'r', 0, '1'}));

    console.desk.setPageOffset(0);
    console.names.ReturnName();
    console.desk.setPageOffset(10);
    EXPECT_EQ(console.names.ReturnName()[3], QStringLiteral("Par 1"));
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
        console.names.Edit2Exit(withField(1, typed));
        EXPECT_EQ(console.names.ReturnName()[0], shown) << typed.toStdString();
    }
}

TEST_F(NamesTest, StoreIsCodePage1251)
{
    console.names.Edit2Exit(withField(2, QStringLiteral("Свет")));
    EXPECT_EQ(stored(2), padded({0xD1, 0xE2, 0xE5, 0xF2}));
    // A character the code page lacks becomes '?' and never takes a second byte.
    console.names.Edit2Exit(withField(2, QStringLiteral("a☺b")));
    EXPECT_EQ(stored(2), padded({'a', '?', 'b'}));
    // A field cut inside a character ends in '?'; the next field is its own.
    ChannelNames::Fields fields = console.names.ReturnName();
    fields[0] = QString::fromUcs4(U"ABCDEFGHIJKLMNO\U0001F600");
    fields[1] = QStringLiteral("xy");
    console.names.Edit2Exit(fields);
    EXPECT_EQ(stored(1), std::vector<uint8_t>({'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J',
                                               'K', 'L', 'M', 'N', 'O', '?'}));
    EXPECT_EQ(stored(2), padded({'x', 'y'}));
}

TEST_F(NamesTest, LoadingRewritesTheStoredName)
{
    store(3, {'a', 'b', 0, 0, 'c', ' ', ' '});
    EXPECT_EQ(console.names.LoadEdit(3), QStringLiteral("ab  c"));
    EXPECT_EQ(stored(3), padded({'a', 'b', ' ', ' ', 'c'}));
    // A name that starts with a zero byte shows a leading blank, not nothing.
    store(4, {0, 'x'});
    EXPECT_EQ(console.names.LoadEdit(4), QStringLiteral(" x"));
}

TEST_F(NamesTest, LeavingAFieldZeroesEverySpaceOfTheNamesRegion)
{
    store(200, {'o', ' ', 'f', 'f'});
    console.image[ShowImage::kNamesBase + ShowImage::kNamesClearSize] = ' ';   // first byte after it
    console.names.Edit2Exit(console.names.ReturnName());
    EXPECT_EQ(stored(200), padded({'o', 0, 'f', 'f'}));
    EXPECT_EQ(console.image[ShowImage::kNamesBase + ShowImage::kNamesClearSize], ' ');
}

TEST_F(NamesTest, StoringEveryFieldLeavesOtherPagesAlone)
{
    store(28, {'k', 'e', 'e', 'p'});
    store(27, {'o', 'l', 'd'});
    ChannelNames::Fields fields;
    fields[26] = QStringLiteral("new");
    console.names.SaveEditAll(fields);
    EXPECT_EQ(stored(27), std::vector<uint8_t>({'n', 'e', 'w', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
                                                ' ', ' ', ' ', ' ', ' '}));
    EXPECT_EQ(stored(1), std::vector<uint8_t>(16, ' '));
    EXPECT_EQ(stored(28), padded({'k', 'e', 'e', 'p'}));
}

}  // namespace
