#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/output_engine.h"
#include "playback/automat.h"
#include "playback/automats.h"
#include "console_state.h"

using tavrelia::Automat;
using tavrelia::ShowImage;
using tavrelia::ConsoleState;

namespace {

Automat::Parts partsOf(ConsoleState& state)
{
    return {state.image, state.play, state.controls, state.consoleLock};
}

struct Automats : ::testing::Test {
    Automats() { state.image.resetToNewShow(); }
    Automat& automat(int n) { return automats[n]; }
    // Bright and dark levels as the bars store them.
    void setLevels(int n, int bright, int dark)
    {
        automat(n).setBright(255 - bright);
        automat(n).setDark(255 - dark);
    }
    // Channels p+1..p+4 as B (bright) and D (dark).
    std::string lit(int n, int bright)
    {
        std::string pattern;
        for (uint8_t value : automat(n).values())
            pattern += value == bright ? 'B' : 'D';
        return pattern;
    }
    ConsoleState state;
    tavrelia::Automats automats{partsOf(state)};
};

// The counters' turning rule in other words: the steps run upwards until a step has
// started at 3 `up` times, then downwards until one has started at 3 `down` times,
// and so on.
std::vector<int> expectedSteps(int up, int down, int count)
{
    std::vector<int> steps;
    int step = 0;
    bool upwards = true;
    int startsAtThree = 0;
    for (int i = 0; i < count; ++i) {
        if (step == 3 && ++startsAtThree == (upwards ? up : down)) {
            upwards = !upwards;
            startsAtThree = 0;
        }
        step = upwards ? (step + 1) % 8 : (step + 7) % 8;
        steps.push_back(step);
    }
    return steps;
}

}  // namespace

TEST_F(Automats, StepsTurnAfterTenAndElevenStartsAtThreeForAutomat1AndTwelveAndThirteenFor2)
{
    struct Case {
        int n;
        int up;
        int down;
    };
    for (const Case c : {Case{1, 10, 11}, Case{2, 12, 13}}) {
        std::vector<int> steps;
        for (int i = 0; i < 600; ++i) {
            automat(c.n).JobAvtomat();
            steps.push_back(automat(c.n).step());
            ASSERT_LE(automat(c.n).cycle(), c.n == 1 ? 20 : 24);
        }
        EXPECT_EQ(steps, expectedSteps(c.up, c.down, 600)) << "automat " << c.n;
    }
    // The first turn of automat 1, as the operator sees it.
    ConsoleState fresh;
    Automat first(partsOf(fresh), 1);
    std::vector<int> labels;
    for (int i = 0; i < 80; ++i) {
        first.JobAvtomat();
        labels.push_back(first.stepText().mid(7).toInt());
    }
    const std::vector<int> turn(labels.begin() + 72, labels.begin() + 79);
    EXPECT_EQ(turn, (std::vector<int>{2, 3, 4, 3, 2, 1, 8}));
}

TEST_F(Automats, EffectsSetBrightAndDarkByStepFromTheFirstStepOn)
{
    setLevels(1, 200, 10);
    // The first step after start is s = 1; eight steps run s = 1..7, 0.
    const std::vector<std::vector<std::string>> effects = {
        {"DBDD", "DDBD", "DDDB", "BDDD", "DBDD", "DDBD", "DDDB", "BDDD"},
        {"DBBD", "DDBB", "BDDB", "BBDD", "DBBD", "DDBB", "BDDB", "BBDD"},
        {"DDBB", "BBDD", "DDBB", "DBBD", "BDDB", "DBBD", "BDDB", "BBDD"},
        {"BBDD", "BBBD", "BBBB", "DBBB", "DDBB", "DDDB", "DDDD", "BDDD"},
    };
    for (int program = 1; program <= 4; ++program) {
        ConsoleState fresh;
        Automat a(partsOf(fresh), 1);
        a.setBright(55);
        a.setDark(245);
        a.setProgram(program);
        for (int s = 0; s < 8; ++s) {
            a.JobAvtomat();
            std::string pattern;
            for (uint8_t value : a.values()) {
                ASSERT_TRUE(value == 200 || value == 10);
                pattern += value == 200 ? 'B' : 'D';
            }
            EXPECT_EQ(pattern, effects[program - 1][s]) << "effect " << program << " step " << s;
        }
    }
    // The levels are read at every step.
    automat(1).JobAvtomat();
    setLevels(1, 90, 30);
    automat(1).JobAvtomat();
    EXPECT_EQ(lit(1, 90), "DDBD");
    EXPECT_EQ(automat(1).values()[0], 30);
}

TEST_F(Automats, RunsAloneOrWithThePlayingShowAndNeverInBlackout)
{
    struct Case {
        bool alone;
        bool withShow;
        bool playing;
        bool blackOut;
        bool runs;
    };
    const Case cases[] = {
        {false, false, true, false, false}, {true, false, false, false, true},
        {false, true, false, false, false}, {false, true, true, false, true},
        {true, true, true, true, false},    {true, false, false, true, false},
    };
    for (const Case& c : cases) {
        ConsoleState fresh;
        Automat a(partsOf(fresh), 2);
        a.setRunAlone(c.alone);
        a.setWithShow(c.withShow);
        fresh.play.PlayFlag = c.playing;
        fresh.controls.blackOut = c.blackOut;
        bool stepped = false;
        QObject::connect(&a, &Automat::ticked, [&](bool s) { stepped = s; });
        a.TimerTempAvtomatTimer();
        EXPECT_EQ(a.active(), c.runs) << c.alone << c.withShow << c.playing << c.blackOut;
        EXPECT_EQ(stepped, c.runs);
        EXPECT_EQ(a.step(), c.runs ? 1 : 0);
    }
    // Stopping the show stops a "with the show" automat at its next tick.
    automat(1).setWithShow(true);
    state.play.PlayFlag = true;
    automat(1).TimerTempAvtomatTimer();
    ASSERT_TRUE(automat(1).active());
    state.play.PlayFlag = false;
    automat(1).TimerTempAvtomatTimer();
    EXPECT_FALSE(automat(1).active());
}

TEST_F(Automats, OutputWritesActiveAutomatsOverTheSceneAndAutomat2WinsAnOverlap)
{
    tavrelia::OutputEngine output(
        {state.image, state.play, state.controls, state.dmx, state.deviceFeed, state.consoleLock});
    output.setAutomats(&automats);
    state.controls.transitionMode = tavrelia::OutputEngine::Vykl;
    for (int c = 1; c <= 255; ++c)
        state.image.DataWrite(0, static_cast<uint8_t>(c), 77);
    setLevels(1, 200, 10);
    setLevels(2, 150, 5);
    automat(1).setChannel(10);
    automat(2).setChannel(12);
    automat(1).setRunAlone(true);
    automat(1).TimerTempAvtomatTimer();   // s = 1: D B D D
    output.OutputTick();
    const auto outputSlots = [&](int first, int last) {
        const tavrelia::DmxFrame& frame = state.dmx.OutputFrame;
        return std::vector<int>(frame.begin() + first, frame.begin() + last + 1);
    };
    EXPECT_EQ(outputSlots(10, 15), (std::vector<int>{77, 10, 200, 10, 10, 77}));

    automat(2).setRunAlone(true);
    automat(2).TimerTempAvtomatTimer();   // 13..16: D B D D
    output.OutputTick();
    EXPECT_EQ(outputSlots(10, 17), (std::vector<int>{77, 10, 200, 5, 150, 5, 5, 77}));

    // The last first channel drives 251..254; a stopped automat gives its slots back.
    automat(1).setChannel(300);
    EXPECT_EQ(automat(1).channel(), 250);
    EXPECT_EQ(automat(1).channelsText(), QStringLiteral(" Каналы 251  252  253  254"));
    automat(2).setRunAlone(false);
    automat(2).TimerTempAvtomatTimer();
    output.OutputTick();
    EXPECT_EQ(outputSlots(10, 17), std::vector<int>(8, 77));
    EXPECT_EQ(outputSlots(250, 255), (std::vector<int>{77, 10, 200, 10, 10, 77}));
}

TEST_F(Automats, SpeedGivesItsSquareInMillisecondsAndTheFlashesPerMinute)
{
    struct Case {
        int stored;
        int period;
        const char* label;
    };
    const Case cases[] = {
        {10, 100, "600 Flash/мин "}, {5, 25, "2400 Flash/мин "},  {50, 2500, "24 Flash/мин "},
        {0, 400, "150 Flash/мин "},  {1, 25, "2400 Flash/мин "},  {51, 2500, "24 Flash/мин "},
        {200, 2500, "24 Flash/мин "}, {255, 2500, "24 Flash/мин "},
    };
    QString label;
    QObject::connect(&automat(2), &Automat::speedChanged, [&](const QString& text) { label = text; });
    for (const Case& c : cases) {
        state.image[ShowImage::kAvtomat2Speed] = static_cast<uint8_t>(c.stored);
        automat(2).TempAvtomatStatus();
        EXPECT_EQ(automat(2).period(), c.period) << c.stored;
        EXPECT_EQ(label, QString::fromUtf8(c.label)) << c.stored;
    }
    // The bars store into their own automat's bytes.
    automat(2).setSpeed(33);
    automat(2).setBright(0);
    automat(2).setDark(255);
    automat(2).setMode(3);
    EXPECT_EQ(state.image[ShowImage::kAvtomat2Speed], 33);
    EXPECT_EQ(state.image[ShowImage::kAvtomat2Bright], 255);
    EXPECT_EQ(state.image[ShowImage::kAvtomat2Dark], 0);
    EXPECT_EQ(state.image[ShowImage::kAvtomat2Mode], 3);
    EXPECT_EQ(state.image[ShowImage::kAvtomat1Speed], 0);
    EXPECT_EQ(state.image[ShowImage::kAvtomat1Mode], 0);
}

TEST_F(Automats, FirstChannelNameShowsTheWholeName)
{
    const char name[] = "Par\0left\0\0\0\0\0\0\0\0";
    std::copy(name, name + 16, state.image.data() + ShowImage::nameAddress(11));
    automat(1).setChannel(10);
    EXPECT_EQ(automat(1).firstChannelText(), QStringLiteral(" Начиная от - Par left"));
    automat(1).setChannel(0);
    EXPECT_EQ(automat(1).firstChannelText(), QStringLiteral(" Начиная от - "));
}

// A show's stored settings taken as the window's refresh takes them: the period, the
// first channel (at most 250, written back) and an effect only when it is one.
TEST_F(Automats, StoredSettingsOfAShowTakeEffect)
{
    struct Case {
        int channel, mode, speed;
        int channelTaken, program, period;
    };
    const Case cases[] = {
        {20, 4, 15, 20, 4, 225},
        {251, 3, 0, 250, 3, 400},
        {255, 0, 60, 250, 3, 2500},   // mode 0: the effect in force stays
        {0, 5, 5, 0, 3, 25},
        {7, 1, 10, 7, 1, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.channel);
        state.image[ShowImage::kAvtomat2Channel] = static_cast<uint8_t>(c.channel);
        state.image[ShowImage::kAvtomat2Mode] = static_cast<uint8_t>(c.mode);
        state.image[ShowImage::kAvtomat2Speed] = static_cast<uint8_t>(c.speed);
        automat(2).takeStoredSettings();
        EXPECT_EQ(automat(2).channel(), c.channelTaken);
        EXPECT_EQ(state.image[ShowImage::kAvtomat2Channel], c.channelTaken);
        EXPECT_EQ(automat(2).program(), c.program);
        EXPECT_EQ(automat(2).period(), c.period);
        EXPECT_EQ(automat(1).channel(), 0);
    }
}
