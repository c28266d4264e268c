// The program's own command line, run as a user types it, with no display at all: what
// only prints must end at once without touching the window system, and Qt's window
// options must still reach Qt.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "program_run.h"

using tavrelia::wire::ProgramRun;

namespace {

TEST(CommandLine, PrintsAndEndsWithoutAWindow)
{
    struct Case {
        QStringList arguments;
        int exitCode;
        std::vector<std::string> out;   // each in standard output
        std::vector<std::string> err;   // each in standard error
    };
    const std::string version = "Tavrelia " TAVRELIA_PROJECT_VERSION "\nLicense GPL-3.0-or-later";
    const std::string usage = "Usage: tavrelia [WINDOW OPTIONS]";
    const std::string playerUsage = "Usage: tavrelia --play SHOW.tvl [options]";
    const Case cases[] = {
        {{"--version"}, 0, {version}, {}},
        {{"-v"}, 0, {version}, {}},
        {{"--help"}, 0, {usage, "-qwindowgeometry WxH+X+Y", playerUsage, "--automat1 RUN"}, {}},
        {{"-h", "-platform", "xcb"}, 0, {usage, playerUsage}, {}},
        {{"--versoin"}, 2, {}, {"tavrelia: unknown option: --versoin\n", usage, playerUsage}},
        {{"show.tvl", "b.tvl"}, 2, {}, {"unexpected argument: b.tvl", usage}},
        {{"--version", "-style"}, 2, {}, {"-style needs a value", usage}},
        // Qt takes -platform and its value as two arguments only.
        {{"--platform=offscreen"}, 2, {}, {"unknown option: --platform=offscreen", usage}},
        // With a player option --help is the player's.
        {{"--play", "x.tvl", "--help"}, 0, {playerUsage}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        ProgramRun run;
        run.withoutDisplay = true;
        QElapsedTimer clock;
        clock.start();
        run.start(c.arguments);
        ASSERT_TRUE(run.process.waitForFinished(5000));
        EXPECT_LT(clock.elapsed(), 3000);
        EXPECT_EQ(run.process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(run.process.exitCode(), c.exitCode) << run.output();
        const std::string out = run.standardOutput();
        const std::string err = run.standardError();
        EXPECT_EQ(out.empty(), c.out.empty()) << out;
        EXPECT_EQ(err.empty(), c.err.empty()) << err;
        for (const std::string& text : c.out)
            EXPECT_NE(out.find(text), std::string::npos) << text << " not in:\n" << out;
        for (const std::string& text : c.err)
            EXPECT_NE(err.find(text), std::string::npos) << text << " not in:\n" << err;
        // The window's own usage is not the player's.
        if (c.arguments.contains("--play")) {
            EXPECT_EQ(out.find(usage), std::string::npos);
        }
        EXPECT_EQ(run.reader->byteCount(), 0u);
    }
}

// Without a display the window comes up only on the platform named on the command
// line; the other window options ride along. It runs when its packets arrive.
TEST(CommandLine, QtWindowOptionsReachTheWindow)
{
    const QStringList lines[] = {
        {"-platform", "offscreen", "-qwindowtitle", "Stage left", "-style=Fusion", "-reverse"},
        {"--platform", "offscreen", "--qwindowgeometry", "800x600+10+10", "-widgetcount"},
    };
    for (const QStringList& arguments : lines) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        ProgramRun run;
        run.withoutDisplay = true;
        run.start(arguments);
        ASSERT_GE(run.packets(3).size(), 3u) << run.output();
        EXPECT_EQ(run.process.state(), QProcess::Running);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
