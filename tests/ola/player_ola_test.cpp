// The headless player with the OLA backend against a private olad.

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <signal.h>

#include "../e2e/program_run.h"
#include "ola_daemon.h"

using namespace tavrelia;
using namespace tavrelia::olatest;

namespace {

TEST(PlayerOnOla, PlaysIntoTheUniverseAndLeavesItDarkOnSigterm)
{
    OlaDaemon daemon;
    ASSERT_NO_THROW(daemon.start());
    UniverseObserver universe(daemon.port(), kUniverse);

    wire::ProgramRun run;
    // The settings file names another backend: the command line wins.
    run.writeConf("[Interface]\nBackend=serial\nOlaPort=" +
                  QByteArray::number(daemon.port()) + "\nOlaUniverse=" +
                  QByteArray::number(kUniverse) + "\n");
    ShowImage image;
    image.resetToNewShow();
    image.DataWrite(0, 5, 99);
    image.DataWrite(1, 5, 199);
    image[ShowImage::kSceneTempo] = 12;   // 144 ms a scene
    const QString show = run.dir("home") + "/ola.tvl";
    wire::ProgramRun::writeFile(show, wire::ProgramRun::bytesOf(image));
    run.start({"--play", show, "--backend", "ola"});

    auto seen = [](uint8_t level) {
        return [level](const std::vector<Frame>& frames) {
            return std::any_of(frames.begin(), frames.end(),
                               [level](const Frame& f) { return f.levels.at(4) == level; });
        };
    };
    ASSERT_TRUE(universe.waitFor(seen(99), 5s)) << run.output() << daemon.log();
    ASSERT_TRUE(universe.waitFor(seen(199), 2s)) << run.output();
    EXPECT_NE(run.standardOutput().find("on ola universe 1 (olad on port " +
                                        std::to_string(daemon.port()) + ")"),
              std::string::npos)
        << run.output();

    ::kill(static_cast<pid_t>(run.process.processId()), SIGTERM);
    ASSERT_TRUE(run.process.waitForFinished(5000));
    EXPECT_EQ(run.process.exitCode(), 0) << run.output();
    ASSERT_TRUE(universe.waitFor(
        [](const std::vector<Frame>& frames) {
            return std::all_of(frames.back().levels.begin(), frames.back().levels.end(),
                               [](uint8_t level) { return level == 0; });
        },
        2s));
}

// A program installed without the OLA module still runs: the interface is reported
// as wanting resources, and why goes to standard error.
TEST(PlayerOnOla, MissingModuleLeavesTheProgramRunning)
{
    wire::ProgramRun run;
    // The program and its core, and none of the modules beside them.
    const QString alone = run.dir("home") + "/tavrelia";
    ASSERT_TRUE(QFile::copy(QStringLiteral(TAVRELIA_BINARY), alone));
    const QString core = QFileInfo(QStringLiteral(TAVRELIA_BINARY)).dir().filePath("libtavrelia_core.so");
    ASSERT_TRUE(QFile::copy(core, run.dir("home") + "/libtavrelia_core.so"));
    qputenv("LD_LIBRARY_PATH", run.dir("home").toLocal8Bit());
    ShowImage image;
    image.resetToNewShow();
    const QString show = run.dir("home") + "/ola.tvl";
    wire::ProgramRun::writeFile(show, wire::ProgramRun::bytesOf(image));
    run.start({"--play", show, "--backend", "ola"}, alone);
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (run.standardOutput().find("interface not found") == std::string::npos
           && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(50ms);
    EXPECT_NE(run.standardOutput().find("interface not found: GetFTDeviceCount - Не хватает ресурсов..."),
              std::string::npos)
        << run.output();
    EXPECT_NE(run.standardError().find("the OLA backend cannot be loaded"), std::string::npos)
        << run.output();
    EXPECT_EQ(run.process.state(), QProcess::Running);
    qunsetenv("LD_LIBRARY_PATH");
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
