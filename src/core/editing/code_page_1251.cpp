#include "editing/code_page_1251.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace tavrelia {

namespace {

// Bytes 0x80..0xFF; the bytes below are ASCII.
constexpr std::array<char16_t, 128> kUpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

// Unicode's default-ignorable code points that the code page lacks.
struct Range {
    char32_t first;
    char32_t last;
};
constexpr Range kIgnorable[] = {
    {0x034F, 0x034F}, {0x061C, 0x061C}, {0x115F, 0x1160}, {0x17B4, 0x17B5},
    {0x180B, 0x180F}, {0x200B, 0x200F}, {0x202A, 0x202E}, {0x2060, 0x206F},
    {0x3164, 0x3164}, {0xFE00, 0xFE0F}, {0xFEFF, 0xFEFF}, {0xFFA0, 0xFFA0},
    {0xFFF0, 0xFFF8}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
};

bool ignorable(char32_t c)
{
    return std::any_of(std::begin(kIgnorable), std::end(kIgnorable),
                       [c](const Range& r) { return c >= r.first && c <= r.last; });
}

// The byte of one character; false when the code page has none.
bool byteOf(char32_t c, char& byte)
{
    if (c < 0x80) {
        byte = static_cast<char>(c);
        return true;
    }
    const auto* found = std::find(kUpperHalf.begin(), kUpperHalf.end(), c);
    if (found == kUpperHalf.end())
        return false;
    byte = static_cast<char>(0x80 + (found - kUpperHalf.begin()));
    return true;
}

}  // namespace

QString CodePage1251::decode(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    std::transform(bytes.begin(), bytes.end(), text.begin(), [](char b) {
        const auto byte = static_cast<unsigned char>(b);
        return QChar(byte < 0x80 ? char16_t(byte) : kUpperHalf[byte - 0x80]);
    });
    return text;
}

QByteArray CodePage1251::encode(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        // A whole pair is one character; half of one is a character of its own.
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        char byte;
        if (byteOf(c, byte))
            bytes.append(byte);
        else if (!ignorable(c))
            bytes.append(kSubstitute);
    }
    return bytes;
}

}  // namespace tavrelia
