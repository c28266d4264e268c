#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <future>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "console.h"
#include "console_state.h"
#include "show/show_files.h"

using tavrelia::Console;
using tavrelia::ShowFiles;
using tavrelia::ShowFolder;
using tavrelia::ShowImage;
using Status = ShowFiles::Result::Status;

namespace {

constexpr int kSize = ShowImage::kImageSize;

QByteArray pattern(int size, int seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + seed) & 0xFF);
    return bytes;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray imageBytes(const ShowImage& image)
{
    return QByteArray(reinterpret_cast<const char*>(image.data()), kSize);
}

QByteArray withIdentHeader(QByteArray bytes)
{
    const auto& h = ShowImage::identHeader();
    std::copy(h.begin(), h.end(), bytes.begin());
    return bytes;
}

class ShowFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = ShowFolder(tmp.filePath("show"));
        ASSERT_TRUE(folder.create());
        // A recognisable show in memory.
        const QByteArray start = pattern(kSize, 99);
        std::copy(start.begin(), start.end(), state.image.data());
    }
    QString path(const QString& name) const { return tmp.filePath(name); }

    QTemporaryDir tmp;
    tavrelia::ConsoleState state;
    ShowFolder folder;
    // New empties the image here; the console empties what goes with it too.
    ShowFiles files{{state.image, folder, state.consoleLock, [this] { state.image.resetToNewShow(); }}};
};

// Files shorter, equal to and longer than a show.
TEST_F(ShowFilesTest, LoadTakesTheFirst81920BytesOrNothing)
{
    struct Case {
        int size;
        Status status;
    };
    const Case cases[] = {{0, Status::Failed},     {1, Status::Failed},
                          {kSize - 1, Status::Failed}, {kSize, Status::Done},
                          {kSize + 1, Status::Done},   {kSize + 5000, Status::Done}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        SetUp();
        files.saveFileName = "before.tvl";
        files.ShowNamed = false;
        const QByteArray before = imageBytes(state.image);
        const QByteArray content = pattern(c.size, c.size);
        writeFile(path("in.tvl"), content);
        files.openFileName = path("in.tvl");

        const ShowFiles::Result r = files.BlocOpenFile();
        EXPECT_EQ(r.status, c.status);
        if (c.status == Status::Done) {
            EXPECT_EQ(imageBytes(state.image), content.left(kSize)) << "the file's own header is kept";
            EXPECT_EQ(files.saveFileName, path("in.tvl"));
            EXPECT_TRUE(files.ShowNamed);
        } else {
            EXPECT_EQ(imageBytes(state.image), before) << "a short file leaves the show alone";
            EXPECT_TRUE(r.error.contains(path("in.tvl"))) << r.error.toStdString();
            EXPECT_EQ(files.saveFileName, "before.tvl");
            EXPECT_FALSE(files.ShowNamed);
        }
    }
}

TEST_F(ShowFilesTest, MissingFileLeavesTheShowButNamesIt)
{
    const char* names[] = {"", "nothing.tvl", "Unit_001", "show"};   // "show" is a folder
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const QByteArray before = imageBytes(state.image);
        files.ShowNamed = false;
        files.saveFileName = "kept.tvl";
        files.openFileName = name;
        EXPECT_EQ(files.BlocOpenFile().status, Status::Missing);
        EXPECT_EQ(imageBytes(state.image), before);
        EXPECT_TRUE(files.ShowNamed);
        EXPECT_EQ(files.saveFileName, "kept.tvl");
    }
}

TEST_F(ShowFilesTest, RelativeNamesLiveInTheShowFolder)
{
    ASSERT_TRUE(files.SaveFileAs("Unit_001").done());
    EXPECT_EQ(readFile(folder.path() + "/Unit_001").size(), kSize);
    files.openFileName = "Unit_001";
    EXPECT_EQ(files.BlocOpenFile().status, Status::Done);
}

// Which save writes where, and what each step leaves behind.
TEST_F(ShowFilesTest, StateTable)
{
    EXPECT_FALSE(files.ShowNamed);
    EXPECT_EQ(files.saveFileName, "Unit_001");
    EXPECT_TRUE(files.openFileName.isEmpty());

    ASSERT_TRUE(files.SaveFileAs(path("a.tvl")).done());
    EXPECT_TRUE(files.ShowNamed);
    EXPECT_EQ(files.saveFileName, path("a.tvl"));
    EXPECT_TRUE(files.openFileName.isEmpty()) << "Save As leaves the open name";

    state.image.DataWrite(5, 5, 77);
    ASSERT_TRUE(files.SaveFile().done());
    EXPECT_EQ(static_cast<uint8_t>(readFile(path("a.tvl"))[ShowImage::levelAddress(5, 5)]), 77);

    files.clearAll();
    EXPECT_FALSE(files.ShowNamed);
    EXPECT_EQ(files.saveFileName, path("a.tvl")) << "New keeps the name for the caption";

    files.openFileName = path("a.tvl");
    ASSERT_TRUE(files.BlocOpenFile().done());
    EXPECT_TRUE(files.ShowNamed);
    EXPECT_EQ(state.image.DataRead(5, 5), 77);
}

TEST_F(ShowFilesTest, SavesReplaceTheHeaderAutosaveKeepsIt)
{
    const QByteArray foreign = pattern(kSize, 3);
    writeFile(path("foreign.tvl"), foreign);
    files.openFileName = path("foreign.tvl");
    ASSERT_TRUE(files.BlocOpenFile().done());

    ASSERT_TRUE(files.autosave().done());
    EXPECT_EQ(readFile(folder.autosaveFile()), foreign);
    EXPECT_EQ(files.saveFileName, path("foreign.tvl"));
    EXPECT_EQ(files.autosaveStatus(), "Автосохранение файла foreign.tvl");

    ASSERT_TRUE(files.SaveFile().done());
    EXPECT_EQ(readFile(path("foreign.tvl")), withIdentHeader(foreign));
    EXPECT_EQ(readFile(path("foreign.tvl")), imageBytes(state.image));

    ASSERT_TRUE(files.SaveFileAs(path("copy.tvl")).done());
    EXPECT_EQ(readFile(path("copy.tvl")), withIdentHeader(foreign));
}

TEST_F(ShowFilesTest, AutosavePutsBackARemovedFolder)
{
    ASSERT_TRUE(QDir(folder.path()).removeRecursively());
    ASSERT_TRUE(files.autosave().done());
    EXPECT_EQ(readFile(folder.autosaveFile()), imageBytes(state.image));
}

TEST_F(ShowFilesTest, SaveThatCannotOpenItsFileChangesNothing)
{
    writeFile(path("plain"), "x");
    ASSERT_TRUE(QDir().mkpath(path("folder.tvl")));
    const QString targets[] = {path("plain/under-a-file.tvl"), path("folder.tvl"),
                               path("no/such/dir/x.tvl")};
    for (const QString& target : targets) {
        SCOPED_TRACE(target.toStdString());
        files.ShowNamed = false;
        files.saveFileName = "Unit_001";
        const ShowFiles::Result r = files.SaveFileAs(target);
        EXPECT_EQ(r.status, Status::Failed);
        EXPECT_TRUE(r.error.contains(target)) << r.error.toStdString();
        EXPECT_FALSE(files.ShowNamed);
        EXPECT_EQ(files.saveFileName, "Unit_001");
    }
}

// Tests run as root, where a read-only folder is still writable; a file size limit
// makes the write itself fail half way, like a full disk.
TEST_F(ShowFilesTest, FailedWriteLeavesTheOldFileWhole)
{
    const QByteArray old = pattern(kSize, 1);
    writeFile(path("old.tvl"), old);
    files.openFileName = path("old.tvl");
    ASSERT_TRUE(files.BlocOpenFile().done());
    state.image.DataWrite(1, 1, 200);

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const ShowFiles::Result saveResult = files.SaveFile();
    const ShowFiles::Result autosaveResult = files.autosave();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(saveResult.status, Status::Failed);
    EXPECT_EQ(autosaveResult.status, Status::Failed);
    EXPECT_EQ(readFile(path("old.tvl")), old);
    EXPECT_FALSE(QFile::exists(folder.autosaveFile()));
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList{"old.tvl"})
        << "no temporary file left behind";
}

TEST(ConsoleShowFiles, NewShowForgetsTheName)
{
    Console console;
    ShowFiles& files = console.showFiles;
    files.ShowNamed = true;
    console.image.DataWrite(3, 3, 9);
    console.sceneBuffer[4] = 1;
    files.clearAll();
    EXPECT_FALSE(files.ShowNamed);
    EXPECT_EQ(console.image.DataRead(3, 3), 0);
    EXPECT_EQ(console.sceneBuffer[4], 0);
}

TEST_F(ShowFilesTest, LoadWaitsForTheConsoleLock)
{
    writeFile(path("in.tvl"), pattern(kSize, 5));
    files.openFileName = path("in.tvl");
    auto guard = state.consoleLock.hold();
    auto load = std::async(std::launch::async, [this] { return files.BlocOpenFile(); });
    EXPECT_EQ(load.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    guard.unlock();
    EXPECT_TRUE(load.get().done());
}

}  // namespace
