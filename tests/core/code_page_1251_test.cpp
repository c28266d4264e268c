#include <gtest/gtest.h>

#include <QStringDecoder>
#include <QStringEncoder>

#include "editing/code_page_1251.h"

using tavrelia::CodePage1251;

namespace {

// The system's converter (ICU) is the reference: the table must give what it gives.
QByteArray systemEncode(const QString& text)
{
    QStringEncoder encoder("windows-1251");
    return encoder.encode(text);
}

TEST(CodePage1251, EveryByteReadsAsTheSystemReadsItAndWritesBack)
{
    QByteArray all(256, '\0');
    for (int b = 0; b < 256; ++b)
        all[b] = static_cast<char>(b);
    QStringDecoder decoder("windows-1251");
    const QString text = CodePage1251::decode(all);
    EXPECT_EQ(text, decoder.decode(all));
    EXPECT_EQ(CodePage1251::encode(text), all);
}

TEST(CodePage1251, EveryCharacterWritesAsTheSystemWritesIt)
{
    QString plane;
    for (char32_t c = 0; c < 0x10000; ++c) {
        if (!QChar::isSurrogate(c))
            plane.append(QChar(char16_t(c)));
    }
    EXPECT_EQ(CodePage1251::encode(plane), systemEncode(plane));
    // Outside the basic plane: a character the code page lacks, and a tag the
    // system's converter leaves out.
    const QString beyond = QString::fromUcs4(U"a\U0001F600b\U000E0041c");
    EXPECT_EQ(CodePage1251::encode(beyond), systemEncode(beyond));
    EXPECT_EQ(CodePage1251::encode(beyond), QByteArray("a\x1A" "bc"));
}

// The system's converter keeps half a character back for the next call; the table
// writes it at once, so one text never spills into the next.
TEST(CodePage1251, HalfACharacterIsACharacterOfItsOwn)
{
    const QString cut = QString::fromUcs4(U"ab\U0001F600").left(3);
    EXPECT_EQ(CodePage1251::encode(cut), QByteArray("ab\x1A"));
    EXPECT_EQ(CodePage1251::encode(QString(QChar(0xDC00)) + 'x'), QByteArray("\x1Ax"));
}

}  // namespace
