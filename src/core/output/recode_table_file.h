#pragma once

#include <QString>

#include "console_lock.h"
#include "output/dmx_output.h"

namespace tavrelia {

// Recoding table files (.tvd): entries 0..255 as 16-bit little-endian values, 512
// bytes, no header. Entries 256..512 are not stored.
class RecodeTableFile {
public:
    static constexpr int kFileSize = 512;
    static constexpr int kEntries = 256;

    // On failure the text says what went wrong with which file, and the table is
    // unchanged: a short file changes nothing. The table changes under lock.
    static bool load(DmxOutput::Recoding& table, ConsoleLock& lock, const QString& path, QString* error);
    // Replaces the file as a whole; a failed save leaves the old file as it was.
    static bool save(const DmxOutput::Recoding& table, const QString& path, QString* error);
};

}  // namespace tavrelia
