#include "editing/color_file.h"

#include <QFileInfo>

#include <algorithm>

#include "show/atomic_file.h"

namespace tavrelia {

namespace {
using Status = ColorFile::Result::Status;

// Where each table lies in the file; the gaps are reserved.
struct ColorRange {
    int offset;
    ChannelColors::Table ChannelColors::*table;
};
constexpr ColorRange kColorTables[] = {
    {0, &ChannelColors::NameRed},     {512, &ChannelColors::NameGreen},
    {1024, &ChannelColors::NameBlue}, {2048, &ChannelColors::GroupRed},
    {2560, &ChannelColors::GroupGreen}, {3072, &ChannelColors::GroupBlue},
    {3584, &ChannelColors::ChannelPicture},
};

struct FeedRange {
    int offset;
    DeviceFeed::Table DeviceFeed::*table;
};
constexpr FeedRange kFeedTables[] = {
    {4192, &DeviceFeed::DevType}, {4704, &DeviceFeed::DevX},     {5216, &DeviceFeed::DevY},
    {5728, &DeviceFeed::DevZ},    {8384, &DeviceFeed::DevWidth}, {8896, &DeviceFeed::DevPan},
    {9408, &DeviceFeed::DevTilt},
};
}  // namespace

QByteArray ColorFile::bytes() const
{
    QByteArray file(kFileSize, '\0');
    for (const auto& [offset, table] : kColorTables)
        std::copy((colors_.*table).begin(), (colors_.*table).end(), file.begin() + offset);
    // The output tick writes part of the feed: copy it under the lock.
    auto guard = lock_.hold();
    for (const auto& [offset, table] : kFeedTables)
        std::copy((feed_.*table).begin(), (feed_.*table).end(), file.begin() + offset);
    return file;
}

ColorFile::Result ColorFile::SaveColorEdit(const QString& path) const
{
    QString error = writeFileAtomically(path, bytes());
    if (!error.isEmpty())
        return {Status::Failed, std::move(error)};
    return {};
}

ColorFile::Result ColorFile::LoadColorEdit(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return {Status::Missing, {}};
    QByteArray file;
    QString error = readFileStart(path, kFileSize, QStringLiteral("Файл короче файла цветов"), &file);
    if (!error.isEmpty())
        return {Status::Failed, std::move(error)};

    for (const auto& [offset, table] : kColorTables)
        std::copy_n(file.begin() + offset, (colors_.*table).size(), (colors_.*table).begin());
    {
        auto guard = lock_.hold();
        for (const auto& [offset, table] : kFeedTables)
            std::copy_n(file.begin() + offset, (feed_.*table).size(), (feed_.*table).begin());
    }
    colors_.tablesReplaced();
    return {};
}

}  // namespace tavrelia
