#pragma once

#include <QByteArray>
#include <QString>

namespace tavrelia {

// The Windows Cyrillic code page of the channel names, one byte a character, by a
// table of its own: the same bytes and characters as the system's converter gives,
// without opening that converter, whose data costs the window over a megabyte.
struct CodePage1251 {
    // What a character the code page lacks becomes.
    static constexpr char kSubstitute = 0x1A;

    static QString decode(QByteArrayView bytes);
    // Invisible formatting characters (joiners, direction marks, variation selectors)
    // are left out, as the system's converter leaves them out. Each call stands alone:
    // half a character at the end of the text is a character the code page lacks.
    static QByteArray encode(QStringView text);
};

}  // namespace tavrelia
