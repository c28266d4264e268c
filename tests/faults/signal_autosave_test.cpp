// A logout or a kill (SIGTERM, SIGHUP) sent to the real program: the show in memory
// is in the autosave file when the program has ended, also when a message box was
// open at the time.

#include <signal.h>

#include <QCoreApplication>
#include <QDateTime>

#include "program_run.h"

using namespace tavrelia;
using namespace std::chrono_literals;
using wire::ProgramRun;

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(SignalAutosave, TheShowInMemoryIsSavedBeforeTheProgramEnds)
{
    struct Case {
        const char* name;
        int signal;
        bool messageOpen;   // the last show is missing: its message is on the screen
    } const cases[] = {
        {"SIGTERM", SIGTERM, false},
        {"SIGHUP", SIGHUP, false},
        {"SIGTERM with a message open", SIGTERM, true},
        {"SIGHUP with a message open", SIGHUP, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramRun run;
        run.prepareShow({{3, 77}});
        const QString folder = run.dir("data") + "/Tavrelia/";
        const QByteArray expected = contents(folder + "light.tvl");
        if (c.messageOpen)
            QFile::remove(folder + "light.tvl");
        const QString autosave = folder + "ShouTemp.tvl";
        // An old one, older than the show; with the show missing it would be offered
        // at start-up, and that question is not the message this case wants.
        if (!c.messageOpen) {
            ProgramRun::writeFile(autosave, QByteArray(ShowImage::kImageSize, 'x'));
            QFile old(autosave);
            ASSERT_TRUE(old.open(QIODevice::ReadWrite));
            ASSERT_TRUE(old.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        }
        run.start();
        // Running: the show is out on the wire, or the start-up message is waiting.
        const auto packets = run.packets(3);
        ASSERT_GE(packets.size(), 3u) << run.output();
        if (!c.messageOpen) {
            ASSERT_TRUE(run.reader->waitFor([](const auto& p) { return p.back().frame[3] == 77; }, 5s));
        }

        ASSERT_EQ(::kill(static_cast<pid_t>(run.process.processId()), c.signal), 0);
        ASSERT_TRUE(run.process.waitForFinished(10000)) << run.output();
        EXPECT_EQ(run.process.exitStatus(), QProcess::NormalExit) << run.output();
        EXPECT_EQ(run.process.exitCode(), 0) << run.output();
        const QByteArray saved = contents(autosave);
        ASSERT_EQ(saved.size(), ShowImage::kImageSize);
        if (c.messageOpen) {
            // A new show: the identification block and no scene levels.
            EXPECT_NE(saved, QByteArray(ShowImage::kImageSize, 'x'));
            EXPECT_EQ(saved.left(ShowImage::kIdentSize),
                      QByteArray(reinterpret_cast<const char*>(ShowImage::identHeader().data()), ShowImage::kIdentSize));
            EXPECT_EQ(saved.mid(ShowImage::kScenesBase), QByteArray(ShowImage::kImageSize - ShowImage::kScenesBase, '\0'));
        } else {
            EXPECT_EQ(saved, expected);
        }
    }
}

// What closing writes is written at a logout too: the colour file, and Tavy.ini with
// the conveyor's files and the show now open (here the one the command line named), so
// the next start has them all.
TEST(SignalAutosave, ALogoutKeepsTheColoursAndTavyIni)
{
    ProgramRun run;
    run.prepareShow({{3, 77}});
    const QString folder = run.dir("data") + "/Tavrelia/";
    SettingsFile settings = SettingsFile::read(folder + "Tavy.ini");
    settings.conveyorFiles[4] = QStringLiteral("second set.tvl");
    ASSERT_TRUE(settings.write(folder + "Tavy.ini").isEmpty());
    const QByteArray colours = contents(folder + "tavrEdit.col");
    ASSERT_TRUE(QFile::remove(folder + "tavrEdit.col"));
    const QString named = run.writeThreeScenes("named.tvl", 44, [](ShowImage& image) {
        image[ShowImage::rateAddress(1)] = 255;
    });
    run.start({named});
    ASSERT_TRUE(run.reader->waitFor([](const auto& p) { return !p.empty() && p.back().frame[1] == 10; }, 10s))
        << run.output();

    ASSERT_EQ(::kill(static_cast<pid_t>(run.process.processId()), SIGTERM), 0);
    ASSERT_TRUE(run.process.waitForFinished(10000)) << run.output();
    EXPECT_EQ(run.process.exitCode(), 0) << run.output();
    // Written again (the 3D feed in it follows the output, so not byte for byte).
    EXPECT_EQ(contents(folder + "tavrEdit.col").size(), colours.size());
    const SettingsFile after = SettingsFile::read(folder + "Tavy.ini");
    EXPECT_EQ(after.lastFile, named);
    EXPECT_EQ(after.conveyorFiles[4], QStringLiteral("second set.tvl"));
    EXPECT_EQ(contents(folder + "ShouTemp.tvl"), contents(named));
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
