#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "editing/scene_list.h"
#include "console_state.h"

using tavrelia::SceneList;
using tavrelia::ShowImage;

namespace {

// A show whose scene s holds the level s on channel 1 and 100 + s on byte 0,
// so that every record can be recognised after it moves.
struct ShowState {
    ShowState()
    {
        state.image.resetToNewShow();
        for (int s = 0; s < 256; ++s) {
            image()[ShowImage::sceneAddress(s)] = static_cast<uint8_t>(100 + s);
            image().DataWrite(s, 1, s);
        }
    }
    ShowImage& image() { return state.image; }
    SceneList& list() { return sceneList; }
    void place(int current, int last)
    {
        image()[ShowImage::kCurrentScene] = static_cast<uint8_t>(current);
        image()[ShowImage::kLastScene] = static_cast<uint8_t>(last);
    }
    int current() { return image().currentScene(); }
    int last() { return image().lastScene(); }
    int tag(int scene) { return image().DataRead(scene, 1); }   // which record it was
    tavrelia::ConsoleState state;
    SceneList sceneList{{state.image, state.undoImage, state.sceneBuffer, state.play, state.consoleLock}};
};

struct Show : ::testing::Test, ShowState {};

}  // namespace

TEST_F(Show, InsertCopiesTheCurrentSceneAfterItAndShiftsTheRest)
{
    struct {
        int current, last;
        int newCurrent, newLast;
    } const cases[] = {
        {0, 1, 1, 2},
        {5, 9, 6, 10},
        {254, 255, 255, 255},   // scene 255 is pushed out, the count stays at 256
        {255, 255, 255, 255},   // nothing to insert after the last record
    };
    for (const auto& c : cases) {
        ShowState fresh;
        fresh.place(c.current, c.last);
        ASSERT_TRUE(fresh.list().insertScene());
        EXPECT_EQ(fresh.current(), c.newCurrent) << c.current;
        EXPECT_EQ(fresh.last(), c.newLast) << c.current;
        EXPECT_TRUE(fresh.list().undoAvailable());
        if (c.current == 255) {
            EXPECT_EQ(fresh.tag(255), 255);
            continue;
        }
        EXPECT_EQ(fresh.tag(c.current), c.current);
        EXPECT_EQ(fresh.tag(c.current + 1), c.current);
        for (int s = c.current + 2; s < 256; ++s)
            ASSERT_EQ(fresh.tag(s), s - 1) << s;
        // byte 0 of the old scene 255 lands in the spare byte
        EXPECT_EQ(fresh.image()[ShowImage::kImageSize], (100 + 255) % 256);
    }
}

TEST_F(Show, DeleteMovesTheFollowingScenesDownAndEmptiesTheLast)
{
    struct {
        int current, last;
        int newCurrent, newLast;
    } const cases[] = {
        {1, 1, 0, 0},   // the last of two scenes
        {0, 1, 0, 0},
        {0, 0, 0, 0},
        {3, 9, 3, 8},
        {255, 255, 254, 254},
    };
    for (const auto& c : cases) {
        ShowState fresh;
        fresh.image()[ShowImage::kImageSize] = 77;
        fresh.place(c.current, c.last);
        ASSERT_TRUE(fresh.list().deleteScene());
        EXPECT_EQ(fresh.current(), c.newCurrent) << c.current;
        EXPECT_EQ(fresh.last(), c.newLast) << c.current;
        for (int s = c.current; s < 255; ++s)
            ASSERT_EQ(fresh.tag(s), s + 1) << s;
        for (int i = ShowImage::sceneAddress(255); i < ShowImage::kImageSize; ++i)
            ASSERT_EQ(fresh.image()[i], 0) << i;
        EXPECT_EQ(fresh.image()[ShowImage::kImageSize], 77);
    }
}

TEST_F(Show, StepPastTheLastSceneAddsItOnlyWithAutoAdd)
{
    place(1, 1);
    ASSERT_TRUE(list().stepTo(2));
    EXPECT_EQ(current(), 2);
    EXPECT_EQ(last(), 1);
    EXPECT_EQ(tag(2), 2);   // shown as it is, not part of the show

    list().toggleAutoAdd();
    ASSERT_TRUE(list().autoAdd());
    ASSERT_TRUE(list().stepTo(2));
    EXPECT_EQ(last(), 2);
    EXPECT_EQ(tag(2), 1);
    EXPECT_EQ(image()[ShowImage::sceneAddress(2)], 101);   // the whole record
    ASSERT_TRUE(list().stepTo(1));
    EXPECT_EQ(last(), 2);
    EXPECT_EQ(list().sceneAddress(), ShowImage::sceneAddress(1));
}

TEST_F(Show, ClearAndCopyPrevious)
{
    place(4, 9);
    ASSERT_TRUE(list().copyPreviousScene());
    EXPECT_EQ(tag(4), 3);
    EXPECT_EQ(image()[ShowImage::sceneAddress(4)], 103);
    ASSERT_TRUE(list().clearScene());
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(image()[ShowImage::sceneAddress(4) + i], 0);
    EXPECT_EQ(tag(5), 5);

    ShowState fresh;
    fresh.place(0, 9);
    ASSERT_TRUE(fresh.list().copyPreviousScene());
    EXPECT_EQ(fresh.tag(0), 0);
    EXPECT_TRUE(fresh.list().undoAvailable());
}

TEST_F(Show, PasteReplacingCopiesTheWholeRecord)
{
    place(3, 9);
    ASSERT_TRUE(list().copyToBuffer());
    EXPECT_FALSE(list().undoAvailable());   // copying takes no snapshot
    place(7, 9);
    ASSERT_TRUE(list().pasteReplacing());
    EXPECT_EQ(tag(7), 3);
    EXPECT_EQ(image()[ShowImage::sceneAddress(7)], 103);
}

TEST_F(Show, PasteAsNewInsertsThenReplacesAndUndoKeepsTheInsertion)
{
    place(3, 9);
    list().copyToBuffer();
    place(5, 9);
    ASSERT_TRUE(list().pasteAsNew());
    EXPECT_EQ(current(), 6);
    EXPECT_EQ(last(), 10);
    EXPECT_EQ(tag(6), 3);
    EXPECT_EQ(tag(7), 6);
    ASSERT_TRUE(list().undo());
    EXPECT_EQ(current(), 6);
    EXPECT_EQ(last(), 10);
    EXPECT_EQ(tag(6), 5);   // the inserted copy of the scene before

    ShowState atEnd;
    atEnd.place(3, 255);
    atEnd.list().copyToBuffer();
    atEnd.place(255, 255);
    ASSERT_TRUE(atEnd.list().pasteAsNew());
    EXPECT_EQ(atEnd.current(), 255);
    EXPECT_EQ(atEnd.tag(255), 3);
    EXPECT_EQ(atEnd.tag(254), 254);
}

TEST_F(Show, SceneOperationsDoNothingWhilePlaying)
{
    list().copyToBuffer();
    list().toggleAutoAdd();
    const std::vector<std::pair<const char*, std::function<bool()>>> operations = {
        {"step", [&] { return list().stepTo(2); }},
        {"insert", [&] { return list().insertScene(); }},
        {"delete", [&] { return list().deleteScene(); }},
        {"clear", [&] { return list().clearScene(); }},
        {"copy previous", [&] { return list().copyPreviousScene(); }},
        {"copy to buffer", [&] { return list().copyToBuffer(); }},
        {"paste", [&] { return list().pasteReplacing(); }},
        {"paste as new", [&] { return list().pasteAsNew(); }},
    };
    place(1, 1);
    state.play.PlayFlag = true;
    const ShowImage::Bytes before = image().bytes();
    const auto buffer = state.sceneBuffer;
    for (const auto& [name, operation] : operations) {
        EXPECT_FALSE(operation()) << name;
        EXPECT_TRUE(image().bytes() == before) << name;
        EXPECT_TRUE(state.sceneBuffer == buffer) << name;
        EXPECT_FALSE(list().undoAvailable()) << name;
    }
}

TEST_F(Show, UndoRestoresEveryByteOnce)
{
    image()[ShowImage::kImageSize] = 5;
    const ShowImage::Bytes before = image().bytes();
    list().ToMemoryUndo();
    image().bytes().fill(3);
    ASSERT_TRUE(list().undo());
    EXPECT_TRUE(image().bytes() == before);
    EXPECT_FALSE(list().undoAvailable());
    image().bytes().fill(3);
    EXPECT_FALSE(list().undo());
    EXPECT_EQ(image()[500], 3);

    list().ToMemoryUndo();
    list().discardUndo();
    EXPECT_FALSE(list().undo());
}

namespace {
using Channels = SceneList::Channels;
using Result = SceneList::CopyResult;

std::vector<int> channelsOf(const ShowImage& image, int scene, int from, int to)
{
    std::vector<int> levels;
    for (int c = from; c <= to; ++c)
        levels.push_back(image[ShowImage::sceneAddress(scene) + c]);
    return levels;
}

// Scene s holds the level c + s on channel c.
void fillRamp(ShowImage& image)
{
    for (int s = 0; s < 256; ++s)
        for (int c = 0; c < 256; ++c)
            image[ShowImage::sceneAddress(s) + c] = static_cast<uint8_t>((c + s) % 256);
}
}  // namespace

TEST_F(Show, ChannelBlockCopyInTheCurrentScene)
{
    struct {
        Channels channels;
        std::vector<int> expected;   // channels 1..22 afterwards
    } const cases[] = {
        // 11 channels: 1..10 and one beyond, which by then holds channel 1's level
        {{1, 10, 11}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 1, 22}},
        {{1, 10, 12}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
        // overlapping from above: channel 1 repeats
        {{1, 10, 2}, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22}},
        // nothing when the range is empty
        {{12, 10, 1}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22}},
    };
    for (const auto& c : cases) {
        fillRamp(image());
        place(0, 1);
        EXPECT_EQ(list().copyChannelsInCurrentScene(c.channels), Result::Done);
        EXPECT_EQ(channelsOf(image(), 0, 1, 22), c.expected);
        EXPECT_EQ(channelsOf(image(), 1, 1, 3), (std::vector<int>{2, 3, 4}));
        EXPECT_TRUE(list().undoAvailable());
    }
}

TEST_F(Show, BlockCopyLimitsDifferBetweenTheCopies)
{
    struct {
        const char* name;
        std::function<Result(Channels)> copy;
        Channels channels;
        Result result;
    } const cases[] = {
        {"current scene", [&](Channels ch) { return list().copyChannelsInCurrentScene(ch); },
         {1, 255, 2}, Result::Done},
        {"current scene", [&](Channels ch) { return list().copyChannelsInCurrentScene(ch); },
         {1, 255, 3}, Result::TooManyChannels},
        {"all scenes", [&](Channels ch) { return list().copyChannelsInAllScenes(ch); },
         {1, 255, 2}, Result::TooManyChannels},
        {"all scenes", [&](Channels ch) { return list().copyChannelsInAllScenes(ch); },
         {2, 255, 2}, Result::Done},
        {"every scene", [&](Channels ch) { return list().copyChannelsInEveryScene(ch); },
         {1, 255, 2}, Result::Done},
        {"every scene", [&](Channels ch) { return list().copyChannelsInEveryScene(ch); },
         {1, 255, 3}, Result::TooManyChannels},
    };
    for (const auto& c : cases) {
        list().discardUndo();
        const ShowImage::Bytes before = image().bytes();
        EXPECT_EQ(c.copy(c.channels), c.result) << c.name;
        EXPECT_TRUE(list().undoAvailable()) << c.name;   // refused or not
        if (c.result != Result::Done) {
            EXPECT_TRUE(image().bytes() == before) << c.name;
        }
    }
}

TEST_F(Show, CopyIntoEverySceneSpillsIntoTheNextButNeverBeyondTheImage)
{
    fillRamp(image());
    image()[ShowImage::kImageSize] = 9;
    ASSERT_EQ(list().copyChannelsInEveryScene({1, 255, 2}), Result::Done);
    // Each scene's copy runs on into channel 1 of the next, so the first level of
    // scene 0 ends up on every channel of every scene.
    for (int i = ShowImage::sceneAddress(0) + 1; i < ShowImage::kImageSize; ++i)
        ASSERT_EQ(image()[i], 1) << i;
    EXPECT_EQ(image()[ShowImage::kImageSize], 9);
}

TEST_F(Show, SceneRangeCopyWorksInsideTheShiftedScenesAndChecksBothLimits)
{
    struct {
        Channels channels;
        SceneList::Scenes scenes;
        Result result;
    } const cases[] = {
        {{1, 10, 247}, {1, 10, 11}, Result::TooManyChannels},
        {{1, 10, 11}, {1, 250, 7}, Result::TooManyScenes},
        {{1, 10, 11}, {1, 2, 11}, Result::Done},
    };
    for (const auto& c : cases) {
        fillRamp(image());
        const ShowImage::Bytes before = image().bytes();
        EXPECT_EQ(list().copyChannelsInSceneRange(c.channels, c.scenes), c.result);
        if (c.result != Result::Done) {
            EXPECT_TRUE(image().bytes() == before);
            continue;
        }
        // scenes 12 and 13 get their channels 1..11 again at 11..21; the rest stay
        for (int s : {12, 13})
            EXPECT_EQ(channelsOf(image(), s, 11, 21), channelsOf(image(), s, 1, 11)) << s;
        EXPECT_EQ(channelsOf(image(), 11, 11, 11), (std::vector<int>{22}));
        EXPECT_EQ(channelsOf(image(), 14, 11, 11), (std::vector<int>{25}));
    }
}
