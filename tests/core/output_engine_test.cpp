#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "console.h"
#include "output/automat_output.h"
#include "output/output_controls.h"
#include "console_state.h"
#include "output/output_engine.h"
#include "application.h"
#include "recording_sink.h"

using tavrelia::Console;
using tavrelia::DmxFrame;
using tavrelia::OutputEngine;
using tavrelia::ShowImage;
using tavrelia::test::RecordingSink;

namespace {

class OutputTick : public ::testing::Test, protected tavrelia::ConsoleState {
protected:
    OutputTick()
    {
        image.resetToNewShow();   // a new show: scene 0 current, every rate 255
        engine.setSink(&sink);
    }

    void tick(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            engine.OutputTick();
    }
    uint8_t& level(int scene, int channel) { return image[ShowImage::levelAddress(scene, channel)]; }
    void setRate(int channel, uint8_t rate) { image[ShowImage::rateAddress(channel)] = rate; }
    void setAllRates(uint8_t rate)
    {
        for (int c = 1; c <= 255; ++c)
            setRate(c, rate);
    }
    void setPicture(int picture, int channel, uint8_t membership, uint8_t value)
    {
        image[ShowImage::pictureFlagAddress(picture, channel)] = membership;
        image[ShowImage::pictureLevelAddress(picture, channel)] = value;
    }
    void select(int channel) { image[ShowImage::selectAddress(channel)] = 1; }
    // The frame a jump to the current scene gives.
    DmxFrame sceneFrame()
    {
        DmxFrame f{};
        for (int c = 1; c <= 255; ++c)
            f[c] = level(image.currentScene(), c);
        return f;
    }
    const DmxFrame& frame() const { return dmx.OutputFrame; }

    // The switches the operator works the output with, on the same state.
    tavrelia::OutputControls switches()
    {
        return tavrelia::OutputControls({image, play, controls, dmx, consoleLock});
    }

    OutputEngine engine{{image, play, controls, dmx, deviceFeed, consoleLock}};
    RecordingSink sink;
};

// ---- transition step -----------------------------------------------------------

struct StepCase {
    const char* name;
    uint8_t rate;
    uint8_t from;
    uint8_t to;
    std::vector<int> expected;   // slot after each tick
};

TEST_F(OutputTick, FaderModeStepsEachChannelByItsRateAndNeverPassesTheTarget)
{
    const StepCase cases[] = {
        {"rate 20 up", 20, 0, 255, {20, 40, 60, 80, 100, 120, 140, 160, 180, 200, 220, 240, 255, 255}},
        {"sum passes 255", 20, 250, 255, {255, 255}},
        {"rate 255 jumps", 255, 0, 255, {255}},
        {"rate 0 holds", 0, 0, 255, {0, 0, 0}},
        {"rate 20 down", 20, 255, 0, {235, 215, 195, 175, 155, 135, 115, 95, 75, 55, 35, 15, 0, 0}},
        {"difference passes 0", 20, 10, 0, {0}},
        {"stops on an inner target", 30, 100, 145, {130, 145, 145}},
        {"stops on an inner target going down", 30, 145, 100, {115, 100, 100}},
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(c.name);
        setRate(7, c.rate);
        dmx.OutputFrame[7] = c.from;
        level(0, 7) = c.to;
        for (size_t t = 0; t < c.expected.size(); ++t) {
            tick();
            ASSERT_EQ(frame()[7], c.expected[t]) << "tick " << t + 1;
        }
    }
}

TEST_F(OutputTick, FaderModeMovesEveryChannelAtItsOwnRate)
{
    setAllRates(10);
    setRate(1, 255);
    setRate(255, 1);
    for (int c = 1; c <= 255; ++c)
        level(0, c) = 100;
    tick();
    DmxFrame expected{};
    for (int c = 1; c <= 255; ++c)
        expected[c] = 10;
    expected[1] = 100;
    expected[255] = 1;
    EXPECT_EQ(frame(), expected);
}

TEST_F(OutputTick, AutomatModeJumpsWhileStoppedAndFollowsTheTempoStepsWhilePlaying)
{
    controls.transitionMode = OutputEngine::Avtomat;
    setAllRates(1);   // ignored in this mode
    level(0, 3) = 200;
    level(0, 4) = 50;
    tick();
    EXPECT_EQ(frame(), sceneFrame());

    image[ShowImage::kCurrentScene] = 1;
    level(1, 3) = 0;
    level(1, 4) = 250;
    play.PlayFlag = true;
    play.FadeSteps.fill(1);
    play.FadeSteps[3] = 60;
    play.FadeSteps[4] = 100;
    tick();
    EXPECT_EQ(frame()[3], 140);
    EXPECT_EQ(frame()[4], 150);
    tick(2);
    EXPECT_EQ(frame()[3], 20);
    EXPECT_EQ(frame()[4], 250);
    tick();
    EXPECT_EQ(frame(), sceneFrame());

    // Stopping again makes the next scene change a jump.
    play.PlayFlag = false;
    image[ShowImage::kCurrentScene] = 0;
    tick();
    EXPECT_EQ(frame(), sceneFrame());
}

TEST_F(OutputTick, OffModePutsTheSceneOnTheOutputEveryTick)
{
    controls.transitionMode = OutputEngine::Vykl;
    setAllRates(1);
    for (int c = 1; c <= 255; ++c)
        level(0, c) = static_cast<uint8_t>(c * 7);
    dmx.OutputFrame.fill(0);
    tick();
    EXPECT_EQ(frame(), sceneFrame());
    level(0, 9) = 1;
    tick();
    EXPECT_EQ(frame(), sceneFrame());
}

TEST_F(OutputTick, WithNoModeSelectedTheFrameStaysButTheOverlaysStillAct)
{
    controls.transitionMode = -1;
    dmx.OutputFrame[5] = 77;
    level(0, 5) = 200;
    level(0, 6) = 200;
    tick(3);
    EXPECT_EQ(frame()[5], 77);
    EXPECT_EQ(frame()[6], 0);
    controls.blackOut = true;
    tick();
    EXPECT_EQ(frame()[5], 0);
}

TEST_F(OutputTick, FollowsTheCurrentScene)
{
    level(2, 10) = 90;
    image[ShowImage::kCurrentScene] = 2;
    tick();
    EXPECT_EQ(frame()[10], 90);
}

// The data part of a new show takes the frame back to zero as well.
TEST(ConsoleClear, MakesTheNextTickFadeFromZero)
{
    Console console;
    RecordingSink sink;
    console.output.setSink(&sink);
    const auto level = [&](int channel) -> uint8_t& {
        return console.image[ShowImage::levelAddress(0, channel)];
    };
    console.clearShowData();
    level(20) = 255;
    console.output.OutputTick();
    console.clearShowData();
    console.image[ShowImage::rateAddress(20)] = 50;
    level(20) = 255;
    console.output.OutputTick();
    EXPECT_EQ(console.dmx.OutputFrame[20], 50);
}

// ---- automats' hook -------------------------------------------------------------

class FixedAutomat final : public tavrelia::AutomatOutput {
public:
    int calls = 0;
    void OutJobAvtomats(DmxFrame& f, const tavrelia::ConsoleLock::Guard&) override
    {
        ++calls;
        f[50] = 99;
        f[51] = 98;
    }
};

TEST_F(OutputTick, AutomatsWriteAfterTheTransitionInEveryModeAndUnderTheOverlays)
{
    FixedAutomat automat;
    engine.setAutomats(&automat);
    setPicture(0, 51, 1, 7);
    controls.pictures[0] = true;
    for (int mode : {0, 1, 2, -1}) {
        SCOPED_TRACE(mode);
        controls.transitionMode = mode;
        dmx.OutputFrame[50] = 0;
        tick();
        EXPECT_EQ(frame()[50], 99);
        EXPECT_EQ(frame()[51], 7);
    }
    EXPECT_EQ(automat.calls, 4);
    engine.setAutomats(nullptr);
    controls.transitionMode = OutputEngine::Fadera;
    tick();
    EXPECT_EQ(automat.calls, 4);
    EXPECT_EQ(frame()[50], 0);   // back to the scene at rate 255
}

// ---- overlays -------------------------------------------------------------------

TEST_F(OutputTick, PicturesActOnlyOnExactMembersAndTheLaterPictureWins)
{
    setPicture(0, 10, 1, 100);    // "1"
    setPicture(9, 10, 1, 200);    // "Z"
    setPicture(0, 11, 2, 150);    // membership 2: not a member
    setPicture(9, 12, 255, 150);
    setPicture(3, 13, 1, 33);     // its box is clear
    level(0, 11) = 40;
    controls.pictures[0] = true;
    controls.pictures[9] = true;
    tick();
    DmxFrame expected = sceneFrame();
    expected[10] = 200;
    EXPECT_EQ(frame(), expected);
}

TEST_F(OutputTick, OverlaysApplyInTheirOrder)
{
    // Channel 5 is claimed by every overlay; each later one must win.
    setPicture(2, 5, 1, 10);
    controls.pictures[2] = true;
    tick();
    EXPECT_EQ(frame()[5], 10);

    controls.manual = true;
    controls.pageOffset = 0;
    controls.stripChecked[4] = true;   // strip 5 = channel 5
    controls.stripLevel[4] = 20;
    tick();
    EXPECT_EQ(frame()[5], 20);

    select(5);
    controls.handPriority = true;
    controls.handX = 30;
    controls.handY = 31;
    tick();
    EXPECT_EQ(frame()[5], 30);
    EXPECT_EQ(frame()[6], 31);

    controls.blackOut = true;
    tick();
    EXPECT_EQ(frame()[5], 0);

    setPicture(15, 5, 1, 40);
    controls.macroOut = true;
    tick();
    EXPECT_EQ(frame()[5], 40);
}

TEST_F(OutputTick, ManualFadersHoldOnlyTheCheckedStripsOfTheVisiblePage)
{
    controls.manual = true;
    controls.pageOffset = 228;
    controls.stripChecked[26] = true;   // channel 255
    controls.stripLevel[26] = 123;
    controls.stripChecked[0] = false;   // channel 229
    controls.stripLevel[0] = 99;
    select(229);   // a selection alone does nothing without the strip's box
    tick();
    DmxFrame expected = sceneFrame();
    expected[255] = 123;
    EXPECT_EQ(frame(), expected);

    controls.manual = false;
    tick();
    EXPECT_EQ(frame(), sceneFrame());
}

TEST_F(OutputTick, HandScanWritesPanAndTiltAfterEverySelectedChannel)
{
    controls.handPriority = true;
    controls.handX = 11;
    controls.handY = 22;
    select(40);
    select(41);   // adjacent: 41 takes X, 42 takes Y
    select(255);  // reaches slot 256
    tick();
    DmxFrame expected = sceneFrame();
    expected[40] = 11;
    expected[41] = 11;
    expected[42] = 22;
    expected[255] = 11;
    expected[256] = 22;
    EXPECT_EQ(frame(), expected);
}

TEST_F(OutputTick, BlackoutDarkensSlots0To255EvenUnderAPicture)
{
    for (int c = 1; c <= 255; ++c)
        level(0, c) = 200;
    setPicture(2, 30, 1, 255);
    controls.pictures[2] = true;
    controls.blackOut = true;
    controls.handPriority = true;
    controls.handY = 50;
    select(255);   // slot 256 lies beyond the blackout
    tick();
    DmxFrame expected{};
    expected[256] = 50;
    EXPECT_EQ(frame(), expected);
}

TEST_F(OutputTick, MacroPutsPictureMOverTheBlackoutWhetherOrNotItsBoxIsChecked)
{
    for (int c = 1; c <= 255; ++c)
        level(0, c) = 200;
    setPicture(15, 8, 1, 80);
    setPicture(15, 9, 1, 0);
    setPicture(15, 10, 2, 90);
    controls.blackOut = true;
    controls.macroOut = true;
    tick();
    DmxFrame expected{};
    expected[8] = 80;
    EXPECT_EQ(frame(), expected);

    // Blackout box cleared by hand with the macro still down: the scene with M over it.
    controls.blackOut = false;
    tick();
    expected = sceneFrame();
    expected[8] = 80;
    expected[9] = 0;
    EXPECT_EQ(frame(), expected);
}

TEST_F(OutputTick, AfterBlackoutChannelsFadeBackAtTheirRates)
{
    setAllRates(100);
    level(0, 1) = 250;
    dmx.OutputFrame[1] = 250;
    controls.blackOut = true;
    tick();
    controls.blackOut = false;
    tick();
    EXPECT_EQ(frame()[1], 100);
}

// ---- recoding -------------------------------------------------------------------

TEST_F(OutputTick, RecodingRoutesSlotsAndKeepsTheRoutedLevelsForTheNextStep)
{
    for (int c = 1; c <= 255; ++c)
        level(0, c) = static_cast<uint8_t>(c);
    dmx.RecodeTable[10] = 3;
    tick();
    DmxFrame expected = sceneFrame();
    expected[10] = 3;
    EXPECT_EQ(frame(), expected);
    EXPECT_EQ(std::count(frame().begin(), frame().end(), 10), 0);

    // The routed level is where the next step starts from.
    dmx.RecodeTable[10] = 10;
    setRate(10, 1);
    tick();
    EXPECT_EQ(frame()[10], 4);
}

TEST_F(OutputTick, RecodingEntriesBeyondTheAssembledSlotsGiveZero)
{
    for (int c = 1; c <= 255; ++c)
        level(0, c) = 200;
    controls.handPriority = true;
    controls.handY = 77;
    select(255);   // slot 256 holds 77 but is not a source
    dmx.RecodeTable[1] = 256;
    dmx.RecodeTable[2] = 512;
    dmx.RecodeTable[3] = 513;
    dmx.RecodeTable[4] = 65535;
    dmx.RecodeTable[0] = 5;   // the start code may carry a channel
    tick();
    DmxFrame expected = sceneFrame();
    expected[0] = 200;
    expected[1] = expected[2] = expected[3] = expected[4] = 0;
    expected[255] = 0;   // hand scan X
    expected[256] = 77;
    EXPECT_EQ(frame(), expected);
}

// ---- blink, feed and packet --------------------------------------------------------

TEST_F(OutputTick, BlackoutButtonBlinksOncePerTickWhileTheBoxIsChecked)
{
    EXPECT_TRUE(engine.blackOutButtonVisible());
    controls.blackOut = true;
    std::vector<bool> seen;
    for (int i = 0; i < 4; ++i) {
        tick();
        seen.push_back(engine.blackOutButtonVisible());
    }
    EXPECT_EQ(seen, (std::vector<bool>{false, true, false, true}));
    tick();
    controls.blackOut = false;
    tick();
    EXPECT_TRUE(engine.blackOutButtonVisible());
}

TEST_F(OutputTick, NewShowGoesOutAsAWholeUniverseOfZerosAndFullSlotsAsThemselves)
{
    tick();
    const std::vector<uint8_t> zeros(513, 0);
    ASSERT_EQ(sink.frames().size(), 1u);
    EXPECT_EQ(sink.frames()[0], zeros);

    level(0, 1) = 255;
    level(0, 2) = 255;
    tick();
    std::vector<uint8_t> full = zeros;
    full[1] = full[2] = 0xFF;
    ASSERT_EQ(sink.frames().size(), 2u);
    EXPECT_EQ(sink.frames()[1], full);
}

TEST_F(OutputTick, NothingIsWrittenInDemoModeOrWithoutALinkButTheFeedFollows)
{
    controls.demo = true;
    level(0, 1) = 200;   // device 19's dimmer
    tick();
    EXPECT_TRUE(sink.lastDemo);
    EXPECT_EQ(deviceFeed.DevIntensity[19], 200);
    EXPECT_TRUE(deviceFeed.RedrawRequest.load());

    controls.demo = false;
    sink.ready = false;
    deviceFeed.RedrawRequest = false;
    level(0, 1) = 100;
    tick();
    EXPECT_EQ(deviceFeed.DevIntensity[19], 100);
    EXPECT_TRUE(deviceFeed.RedrawRequest.load());
    EXPECT_TRUE(sink.frames().empty());

    engine.setSink(nullptr);
    tick();
    EXPECT_TRUE(sink.frames().empty());
}

TEST_F(OutputTick, StrobePhaseTogglesEverySixTicks)
{
    level(0, 194) = 200;   // device 13's strobe channel
    std::vector<int> intensity;
    for (int i = 0; i < 13; ++i) {
        tick();
        intensity.push_back(deviceFeed.DevIntensity[13]);
    }
    EXPECT_EQ(intensity, (std::vector<int>{0, 0, 0, 0, 0, 255, 255, 255, 255, 255, 255, 0, 0}));
}

// ---- the operator's switches ----------------------------------------------------

TEST_F(OutputTick, SelectedLevelsBarSetsOnlyTheSelectedChannelsOfTheCurrentScene)
{
    image[ShowImage::kCurrentScene] = 4;
    select(5);
    select(9);
    image[ShowImage::selectAddress(0)] = 1;   // byte 0 of a scene is never a channel
    image[ShowImage::selectAddress(12)] = 2;  // any non-zero flag counts
    play.PlayFlag = true;                          // the bar writes while playing too
    const ShowImage::Bytes before = image.bytes();
    switches().setSelectedLevels(200);
    ShowImage::Bytes expected = before;
    expected[ShowImage::levelAddress(4, 5)] = 200;
    expected[ShowImage::levelAddress(4, 9)] = 200;
    expected[ShowImage::levelAddress(4, 12)] = 200;
    EXPECT_EQ(image.bytes(), expected);
}

// Through its control, which stops the show as it goes (the play buttons and the
// clock stay as they are).
TEST(OutputControl, EveryBlackoutChangeStopsTheShow)
{
    tavrelia::test::needApplication();
    tavrelia::Console console;
    for (bool on : {true, false}) {
        console.live.play();
        console.live.setBlackOut(on);
        EXPECT_FALSE(console.play.PlayFlag);
        EXPECT_EQ(console.controls.blackOut, on);
    }
}

TEST_F(OutputTick, ResetRoutesEverySlotToItselfAndKeepsSlot0)
{
    tavrelia::OutputControls output = switches();
    output.setRecodeEntry(0, 7);
    output.setRecodeEntry(1, 3);
    output.setRecodeEntry(512, 1);
    output.resetRecoding();
    EXPECT_EQ(dmx.RecodeTable[0], 7);
    for (int i = 1; i <= 512; ++i)
        ASSERT_EQ(dmx.RecodeTable[i], i);
}

}  // namespace
