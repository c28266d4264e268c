#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>

#include "dmx_wire.h"
#include "console.h"
#include "show/settings_file.h"
#include "show/show_image.h"

using namespace tavrelia;
using namespace std::chrono_literals;
using wire::Packet;

namespace {

// One run of the real program: its own home and XDG folders, the serial backend
// pointed at a terminal the test controls, no display.
class ProgramRun {
public:
    ProgramRun()
    {
        for (const char* name : {"home", "data", "config", "runtime"})
            QDir().mkpath(dir(name));
        QFile::setPermissions(dir("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner);
        device.pointAt(*pty);
        writeFile(dir("config") + "/Tavrelia/Tavrelia.conf",
                  "[Interface]\nBackend=serial\nSerialDevice=" +
                      QString::fromStdString(device.path().string()).toUtf8() + "\n");
    }

    ~ProgramRun()
    {
        reader.reset();
        process.kill();
        process.waitForFinished(5000);
    }

    QString dir(const char* name) const { return root.filePath(QString::fromLatin1(name)); }

    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    // A show whose scene 1 holds these levels, at rate 255 so they are out at once,
    // named in Tavy.ini as the last show so the program loads it at start-up.
    void prepareShow(const std::vector<std::pair<int, uint8_t>>& levels)
    {
        ShowImage image;
        image.resetToNewShow();
        image.copyIdentHeader();
        for (auto [channel, level] : levels) {
            image.DataWrite(0, static_cast<uint8_t>(channel), level);
            image[ShowImage::rateAddress(channel)] = 255;
        }
        const QString show = dir("data") + "/Tavrelia/light.tvl";
        writeFile(show, QByteArray(reinterpret_cast<const char*>(image.data()),
                                   ShowImage::kImageSize));
        SettingsFile settings;
        settings.lastFile = show;
        ASSERT_TRUE(settings.write(dir("data") + "/Tavrelia/Tavy.ini").isEmpty());
        // A previous run leaves its colour file beside it.
        Console previous;
        ASSERT_TRUE(previous.colorFile.SaveColorEdit(dir("data") + "/Tavrelia/tavrEdit.col").done());
    }

    void start()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", dir("home"));
        env.insert("XDG_DATA_HOME", dir("data"));
        env.insert("XDG_CONFIG_HOME", dir("config"));
        env.insert("XDG_RUNTIME_DIR", dir("runtime"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(env);
        // To a file: this thread runs no event loop to read a pipe.
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setStandardOutputFile(root.filePath("output.txt"));
        process.start(QStringLiteral(TAVRELIA_BINARY), {});
        ASSERT_TRUE(process.waitForStarted(10000));
    }

    // Waits for `count` packets after those already seen; the polling opens the
    // terminal about a second after start-up.
    std::vector<Packet> packets(size_t count, std::chrono::milliseconds timeout = 10s)
    {
        reader->waitFor([&](const auto& p) { return p.size() >= count; }, timeout);
        return reader->packets();
    }

    std::string output() const
    {
        QFile file(root.filePath("output.txt"));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }

    QTemporaryDir root;
    std::unique_ptr<wire::Pty> pty = std::make_unique<wire::Pty>();
    wire::DevicePath device{root.filePath("dmx").toStdString()};
    std::unique_ptr<wire::PacketReader> reader = std::make_unique<wire::PacketReader>(*pty);
    QProcess process;
};

double meanIntervalMs(const std::vector<Packet>& packets)
{
    const auto span = packets.back().at - packets.front().at;
    return std::chrono::duration<double, std::milli>(span).count() / (packets.size() - 1);
}

TEST(Binary, NewShowSendsZeroPacketsEvery50ms)
{
    ProgramRun run;
    run.start();
    const auto packets = run.packets(41);
    ASSERT_GE(packets.size(), 41u) << run.output();
    for (const Packet& p : packets) {
        EXPECT_EQ(p.wireLength, 519u);
        EXPECT_EQ(p.frame, std::vector<uint8_t>(513, 0));
    }
    EXPECT_EQ(run.reader->garbage(), 0u);
    EXPECT_NEAR(meanIntervalMs(packets), 50.0, 5.0);
}

TEST(Binary, FullSlotsAreStuffed)
{
    ProgramRun run;
    run.prepareShow({{1, 255}, {2, 255}});
    run.start();
    const auto packets = run.packets(5);
    ASSERT_GE(packets.size(), 5u) << run.output();
    std::vector<uint8_t> frame(513, 0);
    frame[1] = frame[2] = 255;
    // The first ticks can come before the show has loaded.
    const Packet& last = packets.back();
    EXPECT_EQ(last.wireLength, 521u);
    EXPECT_EQ(last.frame, frame);
}

TEST(Binary, ReplugAtTheSamePathIsTakenUpAgain)
{
    ProgramRun run;
    run.prepareShow({{7, 200}});
    run.start();
    ASSERT_GE(run.packets(3).size(), 3u) << run.output();

    run.reader->unplug();
    std::this_thread::sleep_for(1500ms);   // long enough for the polling to notice the loss
    run.reader.reset();
    run.pty = std::make_unique<wire::Pty>();
    run.reader = std::make_unique<wire::PacketReader>(*run.pty);
    run.device.pointAt(*run.pty);
    const auto plugged = wire::Clock::now();
    // Two polling periods, and a little for the first tick after the open.
    const bool resumed =
        run.reader->waitFor([](const auto& p) { return !p.empty(); }, 2500ms);
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
        wire::Clock::now() - plugged);
    ASSERT_TRUE(resumed) << "nothing " << waited.count() << " ms after the re-plug, "
                         << run.reader->byteCount() << " bytes; program output:\n"
                         << run.output();
    EXPECT_EQ(run.reader->packets().front().frame[7], 200);
    EXPECT_EQ(run.process.state(), QProcess::Running);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
