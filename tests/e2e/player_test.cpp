// The headless player as a user starts it: tavrelia --play on the pseudo-terminal wire.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>

#include <signal.h>

#include <algorithm>

#include "program_run.h"

using namespace tavrelia;
using namespace std::chrono_literals;
using wire::Packet;
using wire::ProgramRun;

namespace {

constexpr int kTempo = 15;   // 225 ms a scene
constexpr uint8_t kLevels[] = {10, 20, 30};

// Three scenes: channel 1 steps through kLevels, channel 9 stays at 255. New-show
// rates (255) put every level out within one tick.
QString writeShow(ProgramRun& run)
{
    ShowImage image;
    image.resetToNewShow();
    image.copyIdentHeader();
    for (int scene = 0; scene < 3; ++scene) {
        image.DataWrite(static_cast<uint8_t>(scene), 1, kLevels[scene]);
        image.DataWrite(static_cast<uint8_t>(scene), 9, 255);
    }
    image[ShowImage::kLastScene] = 2;
    image[ShowImage::kSceneTempo] = kTempo;
    const QString path = run.dir("home") + "/shows/window.tvl";
    ProgramRun::writeFile(path, ProgramRun::bytesOf(image));
    return path;
}

// Packets where slot 1 changed: when each new level first arrived.
std::vector<Packet> changes(const std::vector<Packet>& packets)
{
    std::vector<Packet> result;
    for (const Packet& packet : packets) {
        if (result.empty() || result.back().frame.at(1) != packet.frame.at(1))
            result.push_back(packet);
    }
    return result;
}

// Sends the signal and returns how long the program took to end.
qint64 stopWith(ProgramRun& run, int signal)
{
    QElapsedTimer clock;
    clock.start();
    ::kill(static_cast<pid_t>(run.process.processId()), signal);
    EXPECT_TRUE(run.process.waitForFinished(5000));
    return clock.elapsed();
}

TEST(Player, ScenesChangeAtTheTempoAndSigtermEndsWithZeros)
{
    ProgramRun run;
    const QString show = writeShow(run);
    run.start({"--play", show, "--verbose"});
    const auto arrived = run.packets(40);
    ASSERT_GE(arrived.size(), 40u) << run.output();

    const std::vector<Packet> steps = changes(arrived);
    ASSERT_GE(steps.size(), 6u);
    for (size_t i = 1; i < steps.size(); ++i) {
        const uint8_t before = steps[i - 1].frame[1];
        EXPECT_EQ(steps[i].frame[1], before == 10 ? 20 : before == 20 ? 30 : 10) << i;
        EXPECT_EQ(steps[i].frame[9], 255);
    }
    const auto span = steps.back().at - steps[1].at;
    const double meanMs = std::chrono::duration<double, std::milli>(span).count() / double(steps.size() - 2);
    EXPECT_NEAR(meanMs, kTempo * kTempo, 25.0);

    const qint64 took = stopWith(run, SIGTERM);
    EXPECT_LE(took, 100) << "ms from SIGTERM to the end";
    EXPECT_EQ(run.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.process.exitCode(), 0) << run.output();
    std::this_thread::sleep_for(50ms);   // the reader's last read
    const std::vector<Packet> all = run.reader->packets();
    EXPECT_EQ(all.back().frame, std::vector<uint8_t>(513, 0));
    EXPECT_EQ(run.reader->garbage(), 0u);

    const std::string out = run.standardOutput();
    EXPECT_NE(out.find("playing " + show.toStdString() + " on serial"), std::string::npos) << out;
    EXPECT_NE(out.find("tempo 15: a scene every 225 ms"), std::string::npos) << out;
    EXPECT_NE(out.find("interface found"), std::string::npos) << out;
    EXPECT_NE(out.find("scene 1 of 3\nscene 2 of 3\nscene 3 of 3\nscene 1 of 3"), std::string::npos) << out;
    EXPECT_NE(out.find("stopped, all channels at zero"), std::string::npos) << out;
    EXPECT_EQ(run.standardError(), "");
}

TEST(Player, HoldLeavesTheLastLevelsOut)
{
    ProgramRun run;
    run.start({"--play", writeShow(run), "--hold", "--mode", "vykl"});
    ASSERT_GE(run.packets(3).size(), 3u) << run.output();
    stopWith(run, SIGINT);
    EXPECT_EQ(run.process.exitCode(), 0) << run.output();
    std::this_thread::sleep_for(50ms);
    const Packet last = run.reader->packets().back();
    EXPECT_EQ(last.frame[9], 255);
    EXPECT_NE(last.frame[1], 0);
}

TEST(Player, LostAndFoundInterfaceIsReported)
{
    ProgramRun run;
    run.start({"--play", writeShow(run)});
    ASSERT_GE(run.packets(3).size(), 3u) << run.output();
    run.reader->unplug();
    const auto deadline = wire::Clock::now() + 3s;
    while (run.standardOutput().find("interface lost") == std::string::npos &&
           wire::Clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    EXPECT_NE(run.standardOutput().find(
                  "interface lost: Интерфейс отключен от компьютера  - Ошибка ввода-вывода..."),
              std::string::npos)
        << run.output();
    stopWith(run, SIGTERM);
    EXPECT_EQ(run.process.exitCode(), 0) << run.output();
}

// Whatever is wrong with the input, the program says so and ends before anything
// reaches the wire.
TEST(Player, BadInputIsRefusedBeforeAnythingIsSent)
{
    struct Case {
        const char* name;
        QStringList arguments;   // SHOW stands for a good show file
        QByteArray conf;         // empty: the serial backend on the terminal
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {"missing show", {"--play", "/nonexistent/show.tvl"}, {}, 1, "no show file /nonexistent/show.tvl"},
        {"short show", {"--play", "SHORT"}, {}, 1, "short.tvl"},
        {"bad option", {"--play", "SHOW", "--loud"}, {}, 2, "Unknown option 'loud'"},
        {"one dash is the player's too", {"-play", "SHOW", "-loud"}, {}, 2, "Unknown option 'loud'"},
        {"stray argument", {"--play", "SHOW", "extra"}, {}, 2, "unexpected argument: extra"},
        {"nothing to play", {"--hold"}, {}, 2, "nothing to play"},
        {"unknown backend", {"--play", "SHOW", "--backend", "dmxking"}, {}, 2, "unknown backend: dmxking"},
        {"unknown backend in the settings", {"--play", "SHOW"}, "[Interface]\nBackend=usb2\n", 1,
         "unknown backend \"usb2\""},
        {"unknown mode", {"--play", "SHOW", "--mode", "fast"}, {}, 2, "unknown mode: fast"},
        {"missing recoding table", {"--play", "SHOW", "--recode", "/nonexistent/t.tvd"}, {}, 1,
         "/nonexistent/t.tvd"},
        {"short recoding table", {"--play", "SHOW", "--recode", "SHORT"}, {}, 1, "short.tvl"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramRun run;
        const QString show = writeShow(run);
        const QString shortFile = run.dir("home") + "/short.tvl";
        ProgramRun::writeFile(shortFile, QByteArray(100, '\1'));
        if (!c.conf.isEmpty())
            run.writeConf(c.conf);
        QStringList arguments = c.arguments;
        arguments.replaceInStrings(QRegularExpression("^SHOW$"), show);
        arguments.replaceInStrings(QRegularExpression("^SHORT$"), shortFile);
        run.start(arguments);
        ASSERT_TRUE(run.process.waitForFinished(10000));
        EXPECT_EQ(run.process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(run.process.exitCode(), c.exitCode);
        EXPECT_NE(run.standardError().find(c.message), std::string::npos) << run.standardError();
        EXPECT_EQ(run.reader->byteCount(), 0u);
    }
}

// The player runs on the core alone; the window, started from the same program,
// does load the widget library (so the check can tell them apart).
TEST(Player, LoadsNoWidgetLibrary)
{
    struct Case {
        bool player;
        bool widgets;
    } cases[] = {{true, false}, {false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.player ? "player" : "window");
        ProgramRun run;
        const QString show = writeShow(run);
        run.start(c.player ? QStringList{"--play", show} : QStringList{});
        ASSERT_GE(run.packets(2).size(), 2u) << run.output();
        QFile maps(QStringLiteral("/proc/%1/maps").arg(run.process.processId()));
        ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
        const QByteArray mapped = maps.readAll();
        EXPECT_TRUE(mapped.contains("libQt6Core.so"));
        EXPECT_EQ(mapped.contains("libQt6Widgets.so"), c.widgets);
        EXPECT_EQ(mapped.contains("libQt6Gui.so"), c.widgets);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
