// The player following the beat it hears: a drum track made here is played in real
// time into a PulseAudio null sink of the test's own, the player records the sink's
// monitor through ALSA (the pulse plugin), and its scene changes are read on the wire.
#include <gtest/gtest.h>

#include <QThread>

#include <algorithm>
#include <cmath>
#include <vector>

#include "drum_track.h"
#include "program_run.h"
#include "sound_server.h"

using namespace tavrelia;
using namespace std::chrono_literals;
using wire::Packet;
using wire::ProgramRun;

namespace {

constexpr int kScenes = 8;   // slot 1 of scene k (from 1) is 10 k

TEST(AudioBeatWire, ScenesChangeOnTheBeatOfTheMusic)
{
    ProgramRun run;
    const bench::DrumTrack track{.bpm = 128, .seconds = 30, .rate = 44100, .channels = 2};
    wire::SoundServer sound(run.dir("runtime") + "/sound", track.rate, track.channels);
    ASSERT_TRUE(sound.running()) << sound.log().toStdString();
    qputenv("PULSE_SERVER", sound.address().toUtf8());

    ShowImage image;
    image.resetToNewShow();
    image.copyIdentHeader();
    for (int scene = 0; scene < kScenes; ++scene)
        image.DataWrite(static_cast<uint8_t>(scene), 1, static_cast<uint8_t>(10 * (scene + 1)));
    image[ShowImage::kLastScene] = kScenes - 1;
    const QString show = run.dir("home") + "/shows/beat.tvl";
    ProgramRun::writeFile(show, ProgramRun::bytesOf(image));
    run.start({"--play", show, "--mode", "vykl", "--beat", "audio"});
    for (int i = 0; i < 100 && run.standardOutput().find("sound input: default") == std::string::npos; ++i)
        QThread::msleep(100);
    ASSERT_NE(run.standardOutput().find("sound input: default"), std::string::npos) << run.output();

    ASSERT_TRUE(sound.play(track.samples()));
    ASSERT_TRUE(sound.waitPlayed(int(track.seconds * 1000) + 15000));
    const auto heard = sound.heardFrom();
    ASSERT_TRUE(heard);

    // The scene changes from 8 s into the track (locked by then) to its end, on the
    // wire. How close each comes to its beat depends on how busy the machine is: that
    // is measured by bench/audio_beat_probe. Here, the beats themselves: one scene a
    // beat (a tempo doubled or halved would change twice or half as often, a beat lost
    // would leave gaps) at the track's tempo, fitted over all of them.
    const std::vector<Packet> packets = run.reader->packets();
    std::vector<double> changes;
    for (size_t i = 1; i < packets.size(); ++i) {
        const double at = std::chrono::duration<double>(packets[i].at - *heard).count();
        if (packets[i].frame.at(1) != packets[i - 1].frame.at(1) && at >= 8 && at < track.seconds)
            changes.push_back(at);
    }
    const std::vector<double> beats = track.beats();
    const auto expected = std::count_if(beats.begin(), beats.end(), [&](double b) { return b >= 8 && b < track.seconds; });
    ASSERT_NEAR(double(changes.size()), double(expected), 2) << run.output();
    double sk = 0, st = 0, skk = 0, skt = 0;
    const double n = double(changes.size()), period = 60 / track.bpm;
    for (double at : changes) {
        const double k = std::round((at - changes.front()) / period);
        sk += k;
        st += at;
        skk += k * k;
        skt += k * at;
    }
    EXPECT_NEAR(60 / ((n * skt - sk * st) / (n * skk - sk * sk)), track.bpm, 1);
}

}  // namespace
