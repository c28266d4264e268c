#include <gtest/gtest.h>

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "playback/sequencer.h"
#include "playback_rig.h"

using tavrelia::BeatLamp;
using tavrelia::test::PlaybackRig;
using tavrelia::Sequencer;
using tavrelia::ShowImage;

namespace {

struct NewShow : ::testing::Test {
    NewShow() { rig.state.image.resetToNewShow(); }
    void setTempo(int tempo)
    {
        rig.state.image[ShowImage::kSceneTempo] = static_cast<uint8_t>(tempo);
        seq().TempStatus();
    }
    Sequencer& seq() { return rig.sequencer; }
    void runClock(int seconds)
    {
        for (int i = 0; i < seconds; ++i)
            seq().clockTick();
    }
    uint8_t current() const { return rig.state.image.currentScene(); }
    PlaybackRig rig;
};

struct TempoCase {
    int stored;
    int period;
    const char* label;
    int ticks;
};

}  // namespace

TEST_F(NewShow, TempoGivesPeriodLabelAndTicksAndNeverAZeroPeriod)
{
    const TempoCase cases[] = {
        {44, 1936, "30  Сцен/мин ", 38},   {10, 100, "600  Сцен/мин ", 2},
        {170, 28900, "2  Сцен/мин ", 255}, {0, 100, "600  Сцен/мин ", 2},
        {9, 100, "600  Сцен/мин ", 2},     {171, 28900, "2  Сцен/мин ", 255},
        {200, 28900, "2  Сцен/мин ", 255}, {255, 28900, "2  Сцен/мин ", 255},
    };
    QString label;
    QObject::connect(&seq(), &Sequencer::tempoChanged, [&](const QString& text) { label = text; });
    for (const auto& c : cases) {
        setTempo(c.stored);
        EXPECT_EQ(seq().period(), c.period) << c.stored;
        EXPECT_EQ(seq().timer().interval(), c.period) << c.stored;
        EXPECT_EQ(Sequencer::ticksPerPeriod(seq().period()), c.ticks) << c.stored;
        EXPECT_EQ(label, QString::fromUtf8(c.label)) << c.stored;
        label.clear();
    }
}

TEST_F(NewShow, PlaysZeroOneZeroOne)
{
    setTempo(44);
    seq().ModePlay();
    std::vector<int> played;
    for (int i = 0; i < 4; ++i) {
        seq().TimerSeqveserTimer();
        played.push_back(current());
    }
    EXPECT_EQ(played, (std::vector<int>{1, 0, 1, 0}));
    EXPECT_EQ(seq().period(), 1936);
}

namespace {
struct StepCase {
    const char* what;
    int tempo;
    uint8_t lastScene;
    uint8_t startScene;
    uint8_t playedScene;   // after one period
    uint8_t before;        // channel 5 in the scene played before
    uint8_t after;         // channel 5 in the scene played
    uint8_t step;
};
}  // namespace

TEST_F(NewShow, FadeStepsFollowTheDifferenceAndThePeriod)
{
    const StepCase cases[] = {
        {"wrap from the last scene", 44, 1, 1, 0, 255, 0, 6},
        {"rising", 44, 1, 0, 1, 0, 255, 6},
        {"unchanged channel", 44, 1, 0, 1, 77, 77, 1},
        {"difference below N", 44, 1, 0, 1, 10, 40, 1},
        {"tempo 10 halves", 10, 1, 0, 1, 20, 220, 100},
        {"tempo 10, difference 1", 10, 1, 0, 1, 5, 6, 1},
        {"tempo 170 gives 1", 170, 1, 0, 1, 0, 255, 1},
        {"current above last wraps", 44, 3, 7, 0, 190, 0, 5},
    };
    for (const auto& c : cases) {
        rig.state.image.resetToNewShow();
        setTempo(c.tempo);
        rig.state.image[ShowImage::kLastScene] = c.lastScene;
        rig.state.image[ShowImage::kCurrentScene] = c.startScene;
        const uint8_t previous = c.playedScene == 0 ? c.lastScene : c.playedScene - 1;
        rig.state.image.DataWrite(previous, 5, c.before);
        rig.state.image.DataWrite(c.playedScene, 5, c.after);
        seq().ModePlay();
        seq().TimerSeqveserTimer();
        EXPECT_EQ(current(), c.playedScene) << c.what;
        EXPECT_EQ(rig.state.play.FadeSteps[5], c.step) << c.what;
        EXPECT_EQ(rig.state.play.FadeSteps[6], 1) << c.what;
    }
}

TEST_F(NewShow, SingleSceneShowStaysAndRecomputesAllStepsAsOne)
{
    rig.state.image[ShowImage::kLastScene] = 0;
    rig.state.image.DataWrite(0, 9, 200);
    rig.state.play.FadeSteps.fill(9);
    seq().ModePlay();
    seq().TimerSeqveserTimer();
    EXPECT_EQ(current(), 0);
    for (int c = 1; c < 256; ++c)
        ASSERT_EQ(rig.state.play.FadeSteps[c], 1) << c;
}

TEST_F(NewShow, WithoutPlayFlagTheLampBlinksAndNothingAdvances)
{
    int beats = 0;
    int advances = 0;
    QObject::connect(&seq(), &Sequencer::beat, [&] { ++beats; });
    QObject::connect(&seq(), &Sequencer::advanced, [&] { ++advances; });
    seq().ModePlay();
    rig.state.play.PlayFlag = false;   // as the blackout does, without Stop
    rig.state.play.FadeSteps.fill(9);
    for (int i = 0; i < 3; ++i)
        seq().TimerSeqveserTimer();
    EXPECT_EQ(beats, 3);
    EXPECT_EQ(advances, 0);
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(rig.state.play.FadeSteps[1], 9);
}

TEST_F(NewShow, LampColourFollowsBlackoutAndMacro)
{
    struct {
        bool blackOut, macro;
        BeatLamp lamp;
    } const cases[] = {
        {false, false, BeatLamp::Go},
        {true, false, BeatLamp::BlackOut},
        {true, true, BeatLamp::Macro},
        {false, true, BeatLamp::Macro},
    };
    BeatLamp lamp{};
    QObject::connect(&seq(), &Sequencer::beat, [&](BeatLamp shown) { lamp = shown; });
    for (const auto& c : cases) {
        rig.state.controls.blackOut = c.blackOut;
        rig.state.controls.macroOut = c.macro;
        lamp = c.lamp == BeatLamp::Go ? BeatLamp::Macro : BeatLamp::Go;
        seq().TimerSeqveserTimer();
        EXPECT_EQ(lamp, c.lamp);
    }
}

TEST_F(NewShow, PlayFromFirstSceneAtOnceAndResetsTheClock)
{
    rig.state.image[ShowImage::kLastScene] = 5;
    rig.state.image[ShowImage::kCurrentScene] = 4;
    runClock(3723);
    seq().playFromFirstScene();
    EXPECT_TRUE(rig.state.play.PlayFlag);
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(seq().clockText(), QStringLiteral("0ч 0м 0с "));
    seq().TimerSeqveserTimer();
    EXPECT_EQ(current(), 1);
}

TEST_F(NewShow, ModesSetThePlayFlagAndResetTheClock)
{
    std::vector<bool> modes;
    QObject::connect(&seq(), &Sequencer::modeChanged, [&](bool playing) { modes.push_back(playing); });
    runClock(11045);
    seq().ModePlay();
    EXPECT_TRUE(rig.state.play.PlayFlag);
    EXPECT_EQ(seq().clockSeconds() + seq().clockMinutes() + seq().clockHours(), 0);
    runClock(11045);
    seq().ModeStop();
    EXPECT_FALSE(rig.state.play.PlayFlag);
    EXPECT_EQ(seq().clockSeconds() + seq().clockMinutes() + seq().clockHours(), 0);
    EXPECT_EQ(modes, (std::vector<bool>{true, false}));
}

TEST_F(NewShow, ClockCarriesAndWrapsAfterADay)
{
    struct {
        int seconds;
        const char* shown;
    } const cases[] = {
        {1, "0ч 0м 1с "},
        {60, "0ч 1м 0с "},
        {125, "0ч 2м 5с "},
        {3599, "0ч 59м 59с "},
        {3600, "1ч 0м 0с "},
        {86399, "23ч 59м 59с "},
        {86400, "0ч 0м 0с "},
        {86401, "0ч 0м 1с "},
    };
    for (const auto& c : cases) {
        seq().ModeStop();
        runClock(c.seconds);
        EXPECT_EQ(seq().clockText(), QString::fromUtf8(c.shown)) << c.seconds;
    }
}

// The output thread reads the scene and its steps under the lock: it must never
// see a scene with the steps of another.
TEST_F(NewShow, TickSeesSceneAndStepsTogether)
{
    rig.state.image[ShowImage::kLastScene] = 2;
    rig.state.image.DataWrite(0, 1, 0);
    rig.state.image.DataWrite(1, 1, 100);
    rig.state.image.DataWrite(2, 1, 250);
    const uint8_t expected[] = {250 / 38, 100 / 38, 150 / 38};   // indexed by scene
    seq().ModePlay();
    seq().TimerSeqveserTimer();

    std::atomic<bool> done{false};
    std::atomic<int> mismatches{0};
    std::thread reader([&] {
        while (!done) {
            auto guard = rig.state.consoleLock.hold();
            if (rig.state.play.FadeSteps[1] != expected[rig.state.image.currentScene()])
                ++mismatches;
        }
    });
    for (int i = 0; i < 20000; ++i)
        seq().TimerSeqveserTimer();
    done = true;
    reader.join();
    EXPECT_EQ(mismatches, 0);
}

// The period is the show's beat: running, it is restarted only by a new tempo.
TEST(SequencerBeat, OnlyANewTempoRestartsTheRunningPeriod)
{
    int argc = 1;
    char name[] = "core_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);   // timers need an event dispatcher
    PlaybackRig rig;
    rig.state.image.resetToNewShow();
    Sequencer& seq = rig.sequencer;
    seq.TempStatus();
    seq.start();
    ASSERT_EQ(seq.timer().timerType(), Qt::PreciseTimer);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const int left = seq.timer().remainingTime();
    ASSERT_LE(left, 1936 - 250);

    // What every refresh, Play and a double click on it do.
    seq.TempStatus();
    seq.ModePlay();
    seq.playFromFirstScene();
    seq.TempStatus();
    EXPECT_LE(seq.timer().remainingTime(), left);

    rig.state.image[ShowImage::kSceneTempo] = 45;
    seq.TempStatus();
    EXPECT_EQ(seq.timer().interval(), 2025);
    EXPECT_GT(seq.timer().remainingTime(), 1936);
}
