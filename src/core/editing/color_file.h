#pragma once

#include <QByteArray>
#include <QString>

#include "show/atomic_file.h"

namespace tavrelia {

class Console;

// tavrEdit.col: the channels' name colours, group colours and type pictures and the
// 3D placement tables, one byte per entry at fixed offsets, 16,384 bytes. Reserved
// ranges are written as zeros and never read back.
class ColorFile {
public:
    static constexpr int kFileSize = 16384;

    using Result = FileResult;

    explicit ColorFile(Console& console) : console_(console) {}

    // The tables laid out as the file holds them.
    QByteArray bytes() const;
    // Replaces the file as a whole; a failed save leaves the old file as it was.
    Result SaveColorEdit(const QString& path) const;
    // Missing file, or one shorter than 16,384 bytes: the tables stay as they were.
    Result LoadColorEdit(const QString& path);

private:
    Console& console_;
};

}  // namespace tavrelia
