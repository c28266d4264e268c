// The player following the beat it hears: a drum track made here is played in real
// time into a PulseAudio null sink of the test's own, the player records the sink's
// monitor through ALSA (the pulse plugin), and its scene changes are read on the wire
// against the track's true beats.
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

    // The scene changes from 8 s into the track (locked by then) to its end, each made
    // between the frame before it and its own: the output tick's 50 ms are the wire's.
    const std::vector<Packet> packets = run.reader->packets();
    const std::vector<double> beats = track.beats();
    const auto seconds = [&](size_t i) { return std::chrono::duration<double>(packets[i].at - *heard).count(); };
    int changes = 0, onBeat = 0;
    std::vector<double> offMs;
    for (size_t i = 1; i < packets.size(); ++i) {
        const double from = seconds(i - 1), to = seconds(i);
        if (packets[i].frame.at(1) == packets[i - 1].frame.at(1) || to < 8 || to >= track.seconds)
            continue;
        ++changes;
        const double beat = *std::min_element(beats.begin(), beats.end(), [to](double a, double b) {
            return std::abs(a - to) < std::abs(b - to);
        });
        const double off = beat < from ? from - beat : std::max(0.0, beat - to);
        offMs.push_back(1000 * off);
        onBeat += off <= 0.025;
    }
    const auto expected = std::count_if(beats.begin(), beats.end(), [&](double b) { return b >= 8 && b < track.seconds; });
    // A tempo doubled or halved would change the scene twice or half as often.
    EXPECT_NEAR(double(changes), double(expected), 2) << run.output();
    std::sort(offMs.begin(), offMs.end());
    ASSERT_FALSE(offMs.empty());
    EXPECT_GE(onBeat, 0.9 * changes) << "off the beat by " << offMs[offMs.size() / 2] << " ms (median), "
                                     << offMs.back() << " ms (worst)";
    EXPECT_NE(run.standardOutput().find("beat tempo 128\n"), std::string::npos) << run.output();
}

}  // namespace
