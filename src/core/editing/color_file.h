#pragma once

#include <QByteArray>
#include <QString>

#include "console_lock.h"
#include "editing/channel_colors.h"
#include "output/device_feed.h"
#include "show/atomic_file.h"

namespace tavrelia {

// tavrEdit.col: the channels' name colours, group colours and type pictures and the
// 3D placement tables, one byte per entry at fixed offsets, 16,384 bytes. Reserved
// ranges are written as zeros and never read back.
class ColorFile {
public:
    static constexpr int kFileSize = 16384;

    using Result = FileResult;

    // The display tables, and the device feed whose placement half the file keeps
    // (the output tick writes the other half, so the feed is copied under the lock).
    ColorFile(ChannelColors& colors, DeviceFeed& feed, ConsoleLock& lock)
        : colors_(colors), feed_(feed), lock_(lock)
    {
    }

    // The tables laid out as the file holds them.
    QByteArray bytes() const;
    // Replaces the file as a whole; a failed save leaves the old file as it was.
    Result SaveColorEdit(const QString& path) const;
    // Missing file, or one shorter than 16,384 bytes: the tables stay as they were.
    Result LoadColorEdit(const QString& path);

private:
    ChannelColors& colors_;
    DeviceFeed& feed_;
    ConsoleLock& lock_;
};

}  // namespace tavrelia
