#include "editing/color_file.h"

#include <QFileInfo>

#include <algorithm>

#include "console.h"
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
    const ChannelColors& colors = console_.colors;
    for (const auto& [offset, table] : kColorTables)
        std::copy((colors.*table).begin(), (colors.*table).end(), file.begin() + offset);
    // The output tick writes part of the feed: copy it under the lock.
    auto guard = console_.lock();
    const DeviceFeed& feed = console_.deviceFeed;
    for (const auto& [offset, table] : kFeedTables)
        std::copy((feed.*table).begin(), (feed.*table).end(), file.begin() + offset);
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

    ChannelColors& colors = console_.colors;
    for (const auto& [offset, table] : kColorTables)
        std::copy_n(file.begin() + offset, (colors.*table).size(), (colors.*table).begin());
    auto guard = console_.lock();
    DeviceFeed& feed = console_.deviceFeed;
    for (const auto& [offset, table] : kFeedTables)
        std::copy_n(file.begin() + offset, (feed.*table).size(), (feed.*table).begin());
    return {};
}

}  // namespace tavrelia
