// LTC on the wire through the real capture path without a sound card: a PulseAudio
// server of the test's own with a null sink, LTC written by libltc's encoder played
// into it in real time by pacat, and the headless player recording the sink's monitor
// through ALSA's pulse plugin while it chases the show's timecode list.

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <ltc.h>

#include <algorithm>
#include <thread>

#include "program_run.h"

using namespace std::chrono_literals;
using tavrelia::wire::Clock;
using tavrelia::wire::Packet;

namespace {

// Frames from 00:00:00:00 at fps as 16-bit mono samples at rate, with half a second of
// silence before; played backwards when asked.
QByteArray ltcAudio(int rate, int fps, int frames, bool backward)
{
    LTCEncoder* encoder = ltc_encoder_create(rate, fps, fps == 25 ? LTC_TV_625_50 : LTC_TV_525_60, LTC_USE_DATE);
    SMPTETimecode start{};
    ltc_encoder_set_timecode(encoder, &start);
    std::vector<int16_t> samples;
    for (int i = 0; i < frames; ++i) {
        ltc_encoder_encode_frame(encoder);
        ltcsnd_sample_t* buffer = nullptr;
        const int n = ltc_encoder_get_bufferptr(encoder, &buffer, 1);
        for (int k = 0; k < n; ++k)
            samples.push_back(int16_t((int(buffer[k]) - 128) * 200));
        ltc_encoder_inc_timecode(encoder);
    }
    ltc_encoder_free(encoder);
    if (backward)
        std::reverse(samples.begin(), samples.end());
    samples.insert(samples.begin(), size_t(rate / 2), 0);
    return QByteArray(reinterpret_cast<const char*>(samples.data()), qsizetype(samples.size() * 2));
}

TEST(LtcChase, ForwardAndBackwardAt48And44Kilohertz)
{
    tavrelia::wire::ProgramRun run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", run.dir("home"));
    env.insert("XDG_RUNTIME_DIR", run.dir("runtime"));
    QProcess pulse;
    pulse.setProcessEnvironment(env);
    pulse.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    pulse.start("pulseaudio", {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "--log-target=stderr",
                               "-L", "module-null-sink sink_name=tav rate=48000 channels=1", "-L",
                               "module-native-protocol-unix"});
    ASSERT_TRUE(pulse.waitForStarted(5000));
    const QString socket = run.dir("runtime") + "/pulse/native";
    for (int i = 0; i < 100 && !QFile::exists(socket); ++i)
        std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(QFile::exists(socket)) << pulse.readAllStandardError().toStdString();

    // Channel 1 holds 10 * scene.
    const QString show = run.writeThreeScenes("rock.tvl", 40, [](tavrelia::ShowImage& image) {
        image[tavrelia::ShowImage::kLastScene] = 3;
        image.DataWrite(3, 1, 40);
    });
    run.writeFile(run.dir("home") + "/shows/rock.tc",
                  "00:00:00:00 go 1\n00:00:01:00 go 2\n00:00:02:00 go 3\n00:00:03:00 go 4\n");
    run.writeConf("[Interface]\nBackend=serial\nSerialDevice=" + QByteArray::fromStdString(run.device.path().string()) +
                  "\n[Timecode]\nSource=ltc\n");
    qputenv("PULSE_SOURCE", "tav.monitor");
    run.start({"--play", show, "--timecode", "--mode", "vykl"});
    ASSERT_TRUE(run.reader->waitFor([](const auto& p) { return !p.empty(); }, 10s)) << run.output();

    struct Case {
        int rate, fps;
        bool backward;
        std::vector<int> scenes;   // in the order they come
    } cases[] = {{48000, 25, false, {2, 3, 4}}, {44100, 30, false, {2, 3, 4}},
                 {48000, 24, true, {4, 3, 2, 1}}, {44100, 25, true, {4, 3, 2, 1}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz, " << c.fps << " fps" << (c.backward ? ", backward" : ""));
        const QString file = run.dir("home") + "/ltc.raw";
        run.writeFile(file, ltcAudio(c.rate, c.fps, c.fps * 4 + 2, c.backward));
        QProcess pacat;
        pacat.setProcessEnvironment(env);
        const auto from = Clock::now();
        pacat.start("pacat", {"--device=tav", "--raw", "--format=s16le", "--channels=1",
                              QStringLiteral("--rate=%1").arg(c.rate), "--latency-msec=20", file});
        ASSERT_TRUE(pacat.waitForFinished(15000)) << pacat.readAllStandardError().toStdString();
        std::this_thread::sleep_for(300ms);
        // Each scene's first packet: in order, a second apart as the rows are.
        std::vector<Clock::time_point> at;
        int shown = -1;
        for (const Packet& p : run.reader->packets()) {
            if (p.at < from || p.frame.at(1) / 10 == shown)
                continue;
            shown = p.frame.at(1) / 10;
            if (at.size() < c.scenes.size() && shown == c.scenes[at.size()])
                at.push_back(p.at);
        }
        ASSERT_EQ(at.size(), c.scenes.size()) << run.output();
        for (size_t i = c.backward ? 2 : 1; i < at.size(); ++i) {
            const double gap = std::chrono::duration<double, std::milli>(at[i] - at[i - 1]).count();
            EXPECT_NEAR(gap, 1000, 80) << i;
        }
    }
    pulse.kill();
    pulse.waitForFinished(5000);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
