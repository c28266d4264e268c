#pragma once

#include <QString>

namespace tavrelia {

class Console;

// Recoding table files (.tvd): entries 0..255 as 16-bit little-endian values, 512
// bytes, no header. Entries 256..512 are not stored.
class RecodeTableFile {
public:
    static constexpr int kFileSize = 512;
    static constexpr int kEntries = 256;

    // On failure the text says what went wrong with which file, and the table is
    // unchanged: a short file changes nothing.
    static bool load(Console& console, const QString& path, QString* error);
    // Replaces the file as a whole; a failed save leaves the old file as it was.
    static bool save(const Console& console, const QString& path, QString* error);
};

}  // namespace tavrelia
