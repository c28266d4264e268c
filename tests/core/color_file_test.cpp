#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "editing/color_file.h"

using tavrelia::ChannelColors;
using tavrelia::ColorFile;
using tavrelia::DeviceFeed;
using Status = ColorFile::Result::Status;

namespace {

// What the colour file keeps, and the file.
struct Tables {
    ChannelColors colors;
    DeviceFeed deviceFeed;
    tavrelia::ConsoleLock lock;
    ColorFile colorFile{colors, deviceFeed, lock};
};

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// Each entry of each table its own value.
template <typename Table, size_t N>
void fill(Table* const (&tables)[N], int step, int seed)
{
    for (size_t t = 0; t < N; ++t)
        for (size_t i = 0; i < tables[t]->size(); ++i)
            (*tables[t])[i] = static_cast<uint8_t>(i * step + t * 17 + seed);
}

// A different value in every entry of every stored table.
void fillTables(Tables& tables, int seed)
{
    ChannelColors& c = tables.colors;
    ChannelColors::Table* const colors[] = {&c.NameRed,    &c.NameGreen, &c.NameBlue,      &c.GroupRed,
                                            &c.GroupGreen, &c.GroupBlue, &c.ChannelPicture};
    fill(colors, 3, seed);
    DeviceFeed& f = tables.deviceFeed;
    DeviceFeed::Table* const feed[] = {&f.DevType, &f.DevX, &f.DevY, &f.DevZ, &f.DevWidth, &f.DevPan, &f.DevTilt};
    fill(feed, 5, seed + 1);
}

}  // namespace

class ColorFileTest : public ::testing::Test {
protected:
    QString path(const char* name = "tavrEdit.col") const { return tmp.filePath(QString::fromLatin1(name)); }
    QTemporaryDir tmp;
    Tables tables;
};

TEST_F(ColorFileTest, EveryTableLiesAtItsOffsetAndReservedBytesAreZero)
{
    fillTables(tables, 1);
    ASSERT_TRUE(tables.colorFile.SaveColorEdit(path()).done());
    const QByteArray file = readFile(path());
    ASSERT_EQ(file.size(), ColorFile::kFileSize);

    QByteArray expected(ColorFile::kFileSize, '\0');
    const auto put = [&](int offset, const auto& table) {
        std::copy(table.begin(), table.end(), expected.begin() + offset);
    };
    const ChannelColors& c = tables.colors;
    put(0, c.NameRed);
    put(512, c.NameGreen);
    put(1024, c.NameBlue);
    put(2048, c.GroupRed);
    put(2560, c.GroupGreen);
    put(3072, c.GroupBlue);
    put(3584, c.ChannelPicture);
    const DeviceFeed& f = tables.deviceFeed;
    put(4192, f.DevType);
    put(4704, f.DevX);
    put(5216, f.DevY);
    put(5728, f.DevZ);
    put(8384, f.DevWidth);
    put(8896, f.DevPan);
    put(9408, f.DevTilt);
    EXPECT_EQ(file, expected);
}

TEST_F(ColorFileTest, ReadBackByteExactIgnoringReservedBytes)
{
    fillTables(tables, 2);
    ASSERT_TRUE(tables.colorFile.SaveColorEdit(path()).done());
    // Something in every reserved range must not reach any table.
    QByteArray file = readFile(path());
    for (int offset : {1536, 4096, 4448, 4960, 5472, 5984, 8640, 9152, 9664, 16383})
        file[offset] = char(0x5A);
    writeFile(path("marked.col"), file);

    Tables other;
    ASSERT_TRUE(other.colorFile.LoadColorEdit(path("marked.col")).done());
    EXPECT_EQ(other.colorFile.bytes(), tables.colorFile.bytes());
    EXPECT_EQ(other.deviceFeed.DevTilt, tables.deviceFeed.DevTilt);
    EXPECT_EQ(other.colors.ChannelPicture, tables.colors.ChannelPicture);
    ASSERT_TRUE(other.colorFile.SaveColorEdit(path("again.col")).done());
    EXPECT_EQ(readFile(path("again.col")), readFile(path()));
}

TEST_F(ColorFileTest, MissingOrShortFileChangesNothing)
{
    fillTables(tables, 3);
    const QByteArray before = tables.colorFile.bytes();

    EXPECT_EQ(tables.colorFile.LoadColorEdit(path("none.col")).status, Status::Missing);
    EXPECT_EQ(tables.colorFile.bytes(), before);

    writeFile(path("short.col"), QByteArray(ColorFile::kFileSize - 1, char(7)));
    const ColorFile::Result shortFile = tables.colorFile.LoadColorEdit(path("short.col"));
    EXPECT_EQ(shortFile.status, Status::Failed);
    EXPECT_TRUE(shortFile.error.contains(QStringLiteral("short.col")));
    EXPECT_EQ(tables.colorFile.bytes(), before);

    // A longer file is read from its start.
    writeFile(path("long.col"), before + QByteArray(100, char(9)));
    Tables other;
    EXPECT_TRUE(other.colorFile.LoadColorEdit(path("long.col")).done());
    EXPECT_EQ(other.colorFile.bytes(), before);
}

TEST_F(ColorFileTest, FailedSaveKeepsTheOldFile)
{
    fillTables(tables, 4);
    ASSERT_TRUE(tables.colorFile.SaveColorEdit(path()).done());
    const QByteArray old = readFile(path());
    fillTables(tables, 5);
    const ColorFile::Result failed = tables.colorFile.SaveColorEdit(tmp.filePath("no/such/dir.col"));
    EXPECT_EQ(failed.status, Status::Failed);
    EXPECT_EQ(readFile(path()), old);
}

TEST(ChannelColors, StartUpValuesAndClearingLeaveTheLastEntry)
{
    ChannelColors colors;
    EXPECT_EQ(colors.nameColor(1), (ChannelColors::Rgb{230, 238, 245}));
    EXPECT_EQ(colors.groupColor(1), (ChannelColors::Rgb{0, 0, 0}));
    EXPECT_EQ(colors.ChannelPicture[1], 0);
    EXPECT_EQ(colors.ColorEditChannel, ChannelColors::kNoChannel);

    colors.clearNameColors();
    colors.clearPictures();
    colors.clearGroupColors({180, 181, 182});
    for (int c : {0, 255, 510}) {
        EXPECT_EQ(colors.nameColor(c), (ChannelColors::Rgb{255, 255, 255}));
        EXPECT_EQ(colors.ChannelPicture[c], 255);
        EXPECT_EQ(colors.groupColor(c), (ChannelColors::Rgb{180, 181, 182}));
    }
    EXPECT_EQ(colors.nameColor(511), (ChannelColors::Rgb{230, 238, 245}));
    EXPECT_EQ(colors.ChannelPicture[511], 0);
}

TEST(ChannelColors, BarsEditOnlyTheChosenChannel)
{
    ChannelColors colors;
    EXPECT_FALSE(colors.setEditedComponent(0, 200));
    colors.ColorEditChannel = 40;
    EXPECT_TRUE(colors.setEditedComponent(2, 129));
    EXPECT_EQ(colors.nameColor(40), (ChannelColors::Rgb{230, 238, 129}));
    EXPECT_EQ(colors.nameColor(41), (ChannelColors::Rgb{230, 238, 245}));
}
