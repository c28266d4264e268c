#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "console_lock.h"
#include "output/dmx_output.h"
#include "output/recode_table_file.h"

using tavrelia::DmxOutput;
using tavrelia::RecodeTableFile;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class RecodeFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    DmxOutput dmx;
    tavrelia::ConsoleLock lock;
    QString error;
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

TEST_F(RecodeFile, SavesEntries0To255LittleEndian)
{
    dmx.RecodeTable[0] = 0x0102;
    dmx.RecodeTable[1] = 3;
    dmx.RecodeTable[255] = 600;
    dmx.RecodeTable[256] = 9;   // not stored
    ASSERT_TRUE(RecodeTableFile::save(dmx.RecodeTable, path("a.tvd"), &error));
    const QByteArray bytes = readAll(path("a.tvd"));
    ASSERT_EQ(bytes.size(), 512);
    QByteArray expected(512, '\0');
    for (int i = 0; i < 256; ++i)
        expected[2 * i] = static_cast<char>(i);
    expected[0] = 0x02;
    expected[1] = 0x01;
    expected[2] = 3;
    expected[510] = static_cast<char>(600 & 0xFF);
    expected[511] = static_cast<char>(600 >> 8);
    EXPECT_EQ(bytes, expected);
}

TEST_F(RecodeFile, LoadGivesBackWhatWasSavedAndKeepsEntriesBeyond255)
{
    for (int i = 0; i < 256; ++i)
        dmx.RecodeTable[i] = static_cast<uint16_t>((i * 37) % 700);
    const auto saved = dmx.RecodeTable;
    ASSERT_TRUE(RecodeTableFile::save(dmx.RecodeTable, path("b.tvd"), &error));

    DmxOutput other;
    other.RecodeTable[300] = 5;
    ASSERT_TRUE(RecodeTableFile::load(other.RecodeTable, lock, path("b.tvd"), &error));
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(other.RecodeTable[i], saved[i]) << i;
    EXPECT_EQ(other.RecodeTable[300], 5);
    EXPECT_EQ(other.RecodeTable[512], 512);
}

TEST_F(RecodeFile, ReadsOnlyTheFirst512BytesOfALongerFile)
{
    QByteArray bytes(700, '\x01');
    writeAll(path("long.tvd"), bytes);
    ASSERT_TRUE(RecodeTableFile::load(dmx.RecodeTable, lock, path("long.tvd"), &error));
    EXPECT_EQ(dmx.RecodeTable[0], 0x0101);
    EXPECT_EQ(dmx.RecodeTable[255], 0x0101);
    EXPECT_EQ(dmx.RecodeTable[256], 256);
}

TEST_F(RecodeFile, ShortOrMissingFilesAreReportedAndChangeNothing)
{
    writeAll(path("short.tvd"), QByteArray(384, '\x05'));   // three whole records
    writeAll(path("empty.tvd"), QByteArray());
    const auto before = dmx.RecodeTable;
    for (const char* name : {"short.tvd", "empty.tvd", "missing.tvd"}) {
        SCOPED_TRACE(name);
        error.clear();
        EXPECT_FALSE(RecodeTableFile::load(dmx.RecodeTable, lock, path(name), &error));
        EXPECT_TRUE(error.contains(path(name))) << error.toStdString();
        EXPECT_EQ(dmx.RecodeTable, before);
    }
}

TEST_F(RecodeFile, AFailedSaveIsReportedAndLeavesTheOldFile)
{
    writeAll(path("keep.tvd"), QByteArray(512, '\x07'));
    ASSERT_TRUE(dir.path().size() > 0);
    // A directory in the way of the temporary file's rename.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken.tvd")));
    EXPECT_FALSE(RecodeTableFile::save(dmx.RecodeTable, path("taken.tvd"), &error));
    EXPECT_TRUE(error.contains(path("taken.tvd")));
    EXPECT_FALSE(RecodeTableFile::save(dmx.RecodeTable, path("nodir/x.tvd"), &error));
    EXPECT_EQ(readAll(path("keep.tvd")), QByteArray(512, '\x07'));
}

}  // namespace
