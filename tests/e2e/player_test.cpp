// The headless player as a user starts it: tavrelia --play on the pseudo-terminal wire.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QThread>

#include <signal.h>

#include <algorithm>
#include <map>
#include <numeric>

#include "osc_peer.h"
#include "program_run.h"

using namespace tavrelia;
using namespace std::chrono_literals;
using wire::Packet;
using wire::ProgramRun;

namespace {

constexpr int kTempo = 15;   // 225 ms a scene

// Channel 1 steps through `levels`, one a scene; channel 9 stays at 255. New-show
// rates (255) put every level out within one tick.
ShowImage showOf(int tempo, const std::vector<uint8_t>& levels)
{
    ShowImage image;
    image.resetToNewShow();
    image.copyIdentHeader();
    for (size_t scene = 0; scene < levels.size(); ++scene) {
        image.DataWrite(static_cast<uint8_t>(scene), 1, levels[scene]);
        image.DataWrite(static_cast<uint8_t>(scene), 9, 255);
    }
    image[ShowImage::kLastScene] = static_cast<uint8_t>(levels.size() - 1);
    image[ShowImage::kSceneTempo] = static_cast<uint8_t>(tempo);
    return image;
}

QString writeShow(ProgramRun& run, const ShowImage& image = showOf(kTempo, {10, 20, 30}),
                  const QString& name = "window.tvl")
{
    const QString path = run.dir("home") + "/shows/" + name;
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

// Conveyor list: show one on button 1, a file that has gone on button 2, show two on
// button 3. After show two nothing follows in the list, so it plays once more
// before show one comes back, each show in its own tempo.
TEST(Player, ConveyorPlaysTheListsShowsInTurn)
{
    ProgramRun run;
    const QString one = writeShow(run, showOf(12, {11, 12}), "one.tvl");   // 144 ms a scene
    const QString two = writeShow(run, showOf(16, {21, 22}), "two.tvl");   // 256 ms
    SettingsFile list;
    list.conveyorFiles = {one, "/nonexistent/gone.tvl", two};
    ProgramRun::writeFile(run.dir("data") + "/Tavrelia/Tavy.ini", list.text().toUtf8());
    run.start({"--conveyor", "--mode", "vykl"});
    const std::vector<Packet> steps = changes(run.packets(80, 15s));

    const std::vector<int> cycle{11, 12, 21, 22, 21, 22};
    const auto first = std::find_if(steps.begin(), steps.end(), [](const Packet& p) { return p.frame[1] == 11; });
    ASSERT_GE(steps.end() - first, 9) << run.output();
    std::map<int, std::vector<double>> lasted;   // ms of each whole scene, by show
    for (auto step = first; step != steps.end(); ++step) {
        const size_t i = static_cast<size_t>(step - first);
        ASSERT_EQ(step->frame[1], cycle[i % cycle.size()]) << i;
        if (step + 1 != steps.end())
            lasted[step->frame[1] / 10].push_back(
                std::chrono::duration<double, std::milli>((step + 1)->at - step->at).count());
    }
    const auto mean = [](const std::vector<double>& v) { return std::accumulate(v.begin(), v.end(), 0.0) / double(v.size()); };
    EXPECT_NEAR(mean(lasted[1]), 144, 30);
    EXPECT_NEAR(mean(lasted[2]), 256, 30);

    const std::string out = run.standardOutput();
    const std::string showOne = "show " + one.toStdString() + ", tempo 12: a scene every 144 ms\n";
    const std::string showTwo = "show " + two.toStdString() + ", tempo 16: a scene every 256 ms\n";
    EXPECT_NE(out.find("playing the conveyor list " + run.dir("data").toStdString() +
                       "/Tavrelia/Tavy.ini on serial"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find(showOne + showTwo + showOne), std::string::npos) << out;
    EXPECT_EQ(run.standardError(), "tavrelia: conveyor button 2 left out: no show file /nonexistent/gone.tvl\n");
    stopWith(run, SIGTERM);
    EXPECT_EQ(run.process.exitCode(), 0) << run.output();
}

// Both automats from the show's settings: each steps through its effect on its own
// four channels at its own period; the channels beside them stay at the scene's 0.
TEST(Player, AutomatsRunTheirEffectsFromTheShow)
{
    struct Automat {
        int first;   // its channels: first..first+3
        uint8_t speed, mode, bright, dark;
        QStringList cycle;
    };
    const Automat automats[] = {
        {21, 15, 4, 200, 10, {"BDDD", "BBDD", "BBBD", "BBBB", "DBBB", "DDBB", "DDDB", "DDDD"}},
        {31, 12, 1, 150, 5, {"BDDD", "DBDD", "DDBD", "DDDB"}},
    };
    ProgramRun run;
    ShowImage image = showOf(kTempo, {10, 20, 30});
    for (int n = 0; n < 2; ++n) {
        const Automat& a = automats[n];
        const int at = n * (ShowImage::kAvtomat2Speed - ShowImage::kAvtomat1Speed);
        image[ShowImage::kAvtomat1Speed + at] = a.speed;
        image[ShowImage::kAvtomat1Channel + at] = static_cast<uint8_t>(a.first - 1);
        image[ShowImage::kAvtomat1Mode + at] = a.mode;
        image[ShowImage::kAvtomat1Bright + at] = a.bright;
        image[ShowImage::kAvtomat1Dark + at] = a.dark;
    }
    run.start({"--play", writeShow(run, image), "--automat1", "alone", "--automat2", "with-show"});
    const std::vector<Packet> packets = run.packets(60);
    ASSERT_GE(packets.size(), 60u) << run.output();

    for (const Automat& a : automats) {
        SCOPED_TRACE(a.first);
        QStringList steps;
        std::vector<wire::Clock::time_point> changed;
        for (const Packet& packet : packets) {
            QString pattern;
            for (int c = a.first; c < a.first + 4; ++c) {
                ASSERT_TRUE(packet.frame[c] == a.bright || packet.frame[c] == a.dark) << c;
                pattern += packet.frame[c] == a.bright ? 'B' : 'D';
            }
            ASSERT_EQ(packet.frame[a.first - 1], 0);
            ASSERT_EQ(packet.frame[a.first + 4], 0);
            if (steps.isEmpty() || steps.back() != pattern) {
                steps << pattern;
                changed.push_back(packet.at);
            }
        }
        ASSERT_GE(steps.size(), 10) << steps.join(' ').toStdString();
        for (qsizetype i = 1; i < steps.size(); ++i) {
            const qsizetype at = a.cycle.indexOf(steps[i - 1]);
            ASSERT_TRUE(at >= 0 && a.cycle[(at + 1) % a.cycle.size()] == steps[i]) << steps.join(' ').toStdString();
        }
        const auto span = std::chrono::duration<double, std::milli>(changed.back() - changed[1]).count();
        EXPECT_NEAR(span / double(changed.size() - 2), a.speed * a.speed, 25.0);
    }
    EXPECT_NE(run.standardOutput().find("automat 1: channels 21..24, effect 4, a step every 225 ms\n"
                                        "automat 2: channels 31..34, effect 1, a step every 144 ms\n"),
              std::string::npos)
        << run.output();
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
        {"unknown backend in the settings", {"--play", "SHOW"}, "[Interface]\nBackend=usb2\n", 2,
         "tavrelia: [Interface] Backend=usb2: not one of ftdi, serial, ola"},
        {"unknown mode", {"--play", "SHOW", "--mode", "fast"}, {}, 2, "unknown mode: fast"},
        {"missing recoding table", {"--play", "SHOW", "--recode", "/nonexistent/t.tvd"}, {}, 1,
         "/nonexistent/t.tvd"},
        {"short recoding table", {"--play", "SHOW", "--recode", "SHORT"}, {}, 1, "short.tvl"},
        {"unknown automat run", {"--play", "SHOW", "--automat2", "always"}, {}, 2, "unknown automat run: always"},
        {"show and conveyor", {"--play", "SHOW", "--conveyor"}, {}, 2, "not both"},
        {"list without conveyor", {"--play", "SHOW", "--ini", "EMPTY"}, {}, 2, "give --conveyor too"},
        {"no conveyor list", {"--conveyor"}, {}, 1, "no conveyor list: "},
        {"empty conveyor list", {"--conveyor", "--ini", "EMPTY"}, {}, 1, "names no show"},
        {"no show of the list can be played", {"--conveyor", "--ini", "BROKEN"}, {}, 1,
         "left out: no show file /nonexistent/a.tvl\ntavrelia: conveyor button 3 left out: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramRun run;
        const QString show = writeShow(run);
        const QString shortFile = run.dir("home") + "/short.tvl";
        ProgramRun::writeFile(shortFile, QByteArray(100, '\1'));
        // Conveyor lists: one with empty slots only, one of a missing and a short show.
        const QString empty = run.dir("home") + "/empty.ini";
        ProgramRun::writeFile(empty, "[Konveir]\nFile01=\n");
        const QString broken = run.dir("home") + "/broken.ini";
        ProgramRun::writeFile(broken, "[Konveir]\nFile01=/nonexistent/a.tvl\nFile03=" + shortFile.toUtf8() + "\n");
        if (!c.conf.isEmpty())
            run.writeConf(c.conf);
        QStringList arguments = c.arguments;
        for (auto [word, path] : {std::pair{"SHOW", show}, {"SHORT", shortFile}, {"EMPTY", empty}, {"BROKEN", broken}})
            arguments.replaceInStrings(QRegularExpression(QStringLiteral("^%1$").arg(word)), path);
        run.start(arguments);
        ASSERT_TRUE(run.process.waitForFinished(10000));
        EXPECT_EQ(run.process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(run.process.exitCode(), c.exitCode);
        EXPECT_NE(run.standardError().find(c.message), std::string::npos) << run.standardError();
        EXPECT_EQ(run.reader->byteCount(), 0u);
    }
}

// The player runs on the core alone; the window, started from the same program,
// does load the widget library. Neither maps a connection's libraries (OLA and
// protobuf, Qt's network, HTTP server and WebSockets, liblo, ALSA) while that
// connection is off; switched on, they are there, so the check can tell them apart.
TEST(Player, LoadsNoLibraryItDoesNotUse)
{
    const char* remoteLibraries[] = {"libQt6Network.so", "libQt6HttpServer.so", "libQt6WebSockets.so", "liblo.so",
                                     "libasound.so"};
    struct Case {
        const char* name;
        QStringList arguments;
        bool widgets;
        bool remotes;
    } cases[] = {
        {"player", {"--play", "SHOW"}, false, false},
        {"window", {}, true, false},
        {"player with every remote", {"--play", "SHOW", "--remote", "--osc", "--midi"}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramRun run;
        run.writeConf("[Interface]\nBackend=serial\nSerialDevice=" + QByteArray::fromStdString(run.device.path().string()) +
                      "\n[Remote]\nPin=4711\nAddress=127.0.0.1\nPort=" + QByteArray::number(wire::OscPeer::freePort()) +
                      "\n[OSC]\nAddress=127.0.0.1\nPort=" + QByteArray::number(wire::OscPeer::freePort()) + "\n");
        run.start(QStringList(c.arguments).replaceInStrings(QStringLiteral("SHOW"), writeShow(run)));
        ASSERT_GE(run.packets(2).size(), 2u) << run.output();
        QElapsedTimer started;
        started.start();
        while (c.remotes && run.standardOutput().find("OSC on 127.0.0.1") == std::string::npos &&
               started.elapsed() < 10000)
            QThread::msleep(20);
        QFile maps(QStringLiteral("/proc/%1/maps").arg(run.process.processId()));
        ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
        const QByteArray mapped = maps.readAll();
        EXPECT_TRUE(mapped.contains("libQt6Core.so"));
        EXPECT_EQ(mapped.contains("libQt6Widgets.so"), c.widgets);
        EXPECT_EQ(mapped.contains("libQt6Gui.so"), c.widgets);
        EXPECT_FALSE(mapped.contains("libola"));
        EXPECT_FALSE(mapped.contains("libprotobuf"));
        for (const char* library : remoteLibraries)
            EXPECT_EQ(mapped.contains(library), c.remotes) << library;
        EXPECT_FALSE(mapped.contains("libltc"));
        EXPECT_FALSE(mapped.contains("libaubio"));
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
