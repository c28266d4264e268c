#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTemporaryDir>

#include "show/settings_file.h"

using tavrelia::SettingsFile;

namespace {
QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

TEST(SettingsFile, MissingFileReadsEmpty)
{
    const SettingsFile s = SettingsFile::read("/nonexistent/Tavy.ini");
    EXPECT_TRUE(s.lastFile.isEmpty());
    for (const QString& name : s.conveyorFiles)
        EXPECT_TRUE(name.isEmpty());
}

TEST(SettingsFile, WritesBothSectionsAndReadsThemBack)
{
    QTemporaryDir tmp;
    SettingsFile s;
    s.conveyorFiles[0] = "/shows/Песня 1.tvl";
    s.conveyorFiles[19] = "/shows/final.tvl";
    s.lastFile = "Unit_001";
    const QString path = tmp.filePath("Tavy.ini");
    ASSERT_EQ(s.write(path), QString());

    const QByteArray text = contents(path);
    EXPECT_TRUE(text.startsWith("[Konveir]\nFile01=/shows/Песня 1.tvl\nFile02=\n"));
    EXPECT_TRUE(text.contains("\nFile20=/shows/final.tvl\n"));
    EXPECT_TRUE(text.endsWith("[LastFile]\nPath=Unit_001\n"));

    const SettingsFile back = SettingsFile::read(path);
    EXPECT_EQ(back.conveyorFiles, s.conveyorFiles);
    EXPECT_EQ(back.lastFile, s.lastFile);
}

TEST(SettingsFile, ReadsFilesWrittenByOtherHands)
{
    struct Case {
        const char* name;
        QString text;
        QString lastFile;
        QString file03;
    };
    const Case cases[] = {
        {"windows line ends", "[Konveir]\r\nFile03=C:\\a.tvl\r\n[LastFile]\r\nPath=C:\\b.tvl\r\n",
         "C:\\b.tvl", "C:\\a.tvl"},
        {"any case, blanks around =", "[konveir]\n file03 = x.tvl \n[LASTFILE]\npath= y.tvl", "y.tvl",
         "x.tvl"},
        {"quoted value", "[LastFile]\nPath=\"/a b.tvl\"\n", "/a b.tvl", ""},
        {"keys of other sections ignored", "[Other]\nPath=no\nFile03=no\n[LastFile]\nPath=yes\n",
         "yes", ""},
        {"comments and junk ignored", "; note\n[LastFile]\njunk\n=x\nPath=p=q\n", "p=q", ""},
        {"key before any section ignored", "Path=x\n", "", ""},
    };
    for (const Case& c : cases) {
        const SettingsFile s = SettingsFile::parse(c.text);
        EXPECT_EQ(s.lastFile, c.lastFile) << c.name;
        EXPECT_EQ(s.conveyorFiles[2], c.file03) << c.name;
    }
}

// The Windows program wrote its names in code page 1251; ours are UTF-8 and stay so.
TEST(SettingsFile, CyrillicNamesInEitherEncoding)
{
    const QString name = QStringLiteral("Д:/Шоу/Песня ёж.tvl");
    QStringEncoder windows1251("windows-1251");
    const QByteArray legacy = QByteArray("[LastFile]\r\nPath=") + QByteArray(windows1251.encode(name)) + "\r\n";
    ASSERT_FALSE(windows1251.hasError());
    EXPECT_EQ(SettingsFile::parse(SettingsFile::decoded(legacy)).lastFile, name);
    EXPECT_EQ(SettingsFile::decoded(name.toUtf8()), name);
    // One byte that is no UTF-8 makes the whole file the older program's.
    EXPECT_EQ(SettingsFile::decoded(QByteArray("\xc4:/a/") + "Шоу"), QStringLiteral("Д:/a/РЁРѕСѓ"));
}

TEST(SettingsFile, FailedWriteIsReported)
{
    QTemporaryDir tmp;
    const QString dirAsTarget = tmp.filePath("Tavy.ini");
    ASSERT_TRUE(QDir().mkpath(dirAsTarget));   // a folder where the file should be
    SettingsFile s;
    s.lastFile = "new";
    const QString error = s.write(dirAsTarget);
    EXPECT_TRUE(error.contains(dirAsTarget)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(dirAsTarget).isDir());
}

// Any name the program holds reads back as itself, and no name can add an entry.
TEST(SettingsFile, AwkwardNamesReadBackAsWritten)
{
    QTemporaryDir tmp;
    const QString path = tmp.filePath("Tavy.ini");
    const QString names[] = {" leading.tvl", "trailing.tvl\t", "\"quoted\"", "\"", "a\rb.tvl"};
    for (const QString& name : names) {
        SettingsFile s;
        s.conveyorFiles[4] = name;
        s.lastFile = name;
        ASSERT_EQ(s.write(path), QString());
        const SettingsFile back = SettingsFile::read(path);
        EXPECT_EQ(back.conveyorFiles[4], name) << name.toStdString();
        EXPECT_EQ(back.lastFile, name) << name.toStdString();
    }
    SettingsFile s;
    s.conveyorFiles[0] = "x.tvl\n[LastFile]\nPath=/elsewhere.tvl";
    s.lastFile = "mine.tvl";
    ASSERT_EQ(s.write(path), QString());
    const SettingsFile back = SettingsFile::read(path);
    EXPECT_EQ(back.conveyorFiles[0], QString());
    EXPECT_EQ(back.lastFile, "mine.tvl");
}
