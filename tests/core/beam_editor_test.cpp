#include <gtest/gtest.h>

#include "editing/beam_editor.h"
#include "editing/scene_list.h"
#include "console_state.h"

using tavrelia::BeamEditor;
using tavrelia::FigureMaker;
using tavrelia::SceneRange;
using tavrelia::ShowImage;
using tavrelia::XyPair;
using tavrelia::XyPoint;
using Figure = FigureMaker::Figure;

namespace {

struct Beam : ::testing::Test {
    Beam()
    {
        state.image.resetToNewShow();
        // Level bytes that differ from channel to channel and scene to scene, so
        // a stray write shows and no point lies near another by chance.
        for (int i = ShowImage::kScenesBase; i < ShowImage::kImageSize; ++i)
            state.image[i] = static_cast<uint8_t>(i * 7 + i / 256 * 13 + 3);
        before = state.image.bytes();
    }
    BeamEditor& editor() { return beam; }
    XyPoint at(int scene, XyPair pair)
    {
        return {state.image.DataRead(scene, pair.x), state.image.DataRead(scene, pair.y)};
    }
    void put(int scene, XyPair pair, XyPoint p)
    {
        state.image.DataWrite(scene, pair.x, p.x);
        state.image.DataWrite(scene, pair.y, p.y);
    }
    // The image with the pair's channels of the range taken from `from`.
    ShowImage::Bytes withRange(const ShowImage::Bytes& from, SceneRange range, XyPair pair)
    {
        ShowImage::Bytes expected = before;
        for (int i = range.firstIndex(); i <= range.lastIndex(); ++i)
            for (int c : {pair.x, pair.y})
                expected[ShowImage::levelAddress(i, c)] = from[ShowImage::levelAddress(i, c)];
        return expected;
    }
    tavrelia::ConsoleState state;
    tavrelia::SceneList sceneList{
        {state.image, state.undoImage, state.sceneBuffer, state.play, state.consoleLock}};
    BeamEditor beam{{state.image, state.play, sceneList, state.consoleLock}};
    ShowImage::Bytes before{};
};

const XyPair kPair = XyPair::fromBar(9, false);   // channels 10 and 11

}  // namespace

TEST_F(Beam, AFigureWritesOnlyThePairInTheRange)
{
    const SceneRange range{20, 27};
    ASSERT_TRUE(editor().makeFigure(Figure::Circle, range, kPair, 150, 5));
    const auto points = *FigureMaker(range, 150, 5).make(Figure::Circle);
    for (int k = 0; k < range.count(); ++k)
        EXPECT_EQ(at(range.firstIndex() + k, kPair), points[k]);
    EXPECT_EQ(state.image.bytes(), withRange(state.image.bytes(), range, kPair));

    // A 16-bit pair leaves the fine channel between X and Y alone.
    const XyPair wide = XyPair::fromBar(29, true);
    before = state.image.bytes();
    ASSERT_TRUE(editor().makeFigure(Figure::Line, range, wide, 100, 3));
    EXPECT_EQ(state.image.bytes(), withRange(state.image.bytes(), range, wide));
    EXPECT_EQ(at(range.firstIndex(), wide), (*FigureMaker(range, 100, 3).make(Figure::Line))[0]);
}

TEST_F(Beam, RefusedOrEmptyOperationsWriteNothing)
{
    before = state.image.bytes();
    EXPECT_FALSE(editor().makeFigure(Figure::Spiral, {8, 8}, kPair, 200, 7));
    EXPECT_FALSE(editor().makeFigure(Figure::Line, {9, 8}, kPair, 200, 7));
    editor().ButtonRepeat(1, {9, 8}, kPair);
    editor().RotateArea({9, 8}, kPair, 90);
    editor().RotateArea({1, 30}, kPair, 0);
    EXPECT_FALSE(editor().SearchScena({9, 8}, kPair, at(7, kPair).x, at(7, kPair).y));
    EXPECT_EQ(state.image.bytes(), before);
}

TEST_F(Beam, RepeatAndTurnChangeEveryPointOfTheRange)
{
    const SceneRange range{3, 6};
    editor().ButtonRepeat(5, range, kPair);
    for (int i = 2; i <= 5; ++i)
        EXPECT_EQ(at(i, kPair), FigureMaker::repeatStep(5, {before[ShowImage::levelAddress(i, 10)],
                                                            before[ShowImage::levelAddress(i, 11)]}));
    EXPECT_EQ(state.image.bytes(), withRange(state.image.bytes(), range, kPair));

    put(2, kPair, {200, 127});
    put(3, kPair, {127, 227});
    const auto snapshot = state.image.bytes();
    editor().RotateArea({3, 4}, kPair, 90);
    // Right of the centre stays right (the zero offset may round either way).
    EXPECT_TRUE(at(2, kPair).y == 127 || at(2, kPair).y == 128);
    EXPECT_GE(at(2, kPair).x, 200);
    EXPECT_EQ(at(3, kPair), (XyPoint{127, 29}));   // above goes below
    before = snapshot;
    EXPECT_EQ(state.image.bytes(), withRange(state.image.bytes(), {3, 4}, kPair));
}

TEST_F(Beam, CopyTakesASnapshotThatUndoes)
{
    const SceneRange range{5, 9};
    const XyPair second = XyPair::fromBar(99, false);
    const XyPair third = XyPair::fromBar(199, false);
    editor().copyToPairs(range, kPair, {second, third});
    EXPECT_TRUE(sceneList.undoAvailable());
    for (int i = range.firstIndex(); i <= range.lastIndex(); ++i) {
        EXPECT_EQ(at(i, second), at(i, kPair));
        EXPECT_EQ(at(i, third), at(i, kPair));
    }
    EXPECT_NE(at(9, second), at(9, kPair));   // past the range
    ASSERT_TRUE(sceneList.undo());
    EXPECT_EQ(state.image.bytes(), before);
}

TEST_F(Beam, TheLowestNumberedPointWithinThreeIsFound)
{
    const SceneRange range{1, 10};
    put(2, kPair, {103, 97});
    put(6, kPair, {100, 100});
    put(8, kPair, {98, 102});
    EXPECT_TRUE(editor().SearchScena(range, kPair, 100, 100));
    EXPECT_EQ(editor().FoundScene, 2);
    EXPECT_TRUE(editor().SearchScena({4, 10}, kPair, 100, 100));
    EXPECT_EQ(editor().FoundScene, 6);
    // Nothing near: the last scene found is kept.
    EXPECT_FALSE(editor().SearchScena(range, kPair, 30, 230));
    EXPECT_EQ(editor().FoundScene, 6);
    EXPECT_FALSE(editor().SearchScena(range, kPair, 104, 100 + 4));
}

TEST_F(Beam, PressingAPointChoosesItsSceneUnlessPlaying)
{
    state.image[ShowImage::kCurrentScene] = 0;
    state.image[ShowImage::kLastScene] = 3;
    put(7, kPair, {60, 60});
    const SceneRange range{1, 20};

    state.play.PlayFlag = true;
    EXPECT_FALSE(editor().padPressed(BeamEditor::Drag::Move, range, kPair, 61, 59, true));
    EXPECT_EQ(editor().FoundScene, 7);
    EXPECT_EQ(state.image.currentScene(), 0);
    state.play.PlayFlag = false;
    EXPECT_FALSE(editor().padPressed(BeamEditor::Drag::Move, range, kPair, 61, 59, false));
    EXPECT_FALSE(editor().padPressed(BeamEditor::Drag::Size, range, kPair, 61, 59, true));
    EXPECT_EQ(editor().FoundScene, BeamEditor::kNone);

    EXPECT_TRUE(editor().padPressed(BeamEditor::Drag::Move, range, kPair, 61, 59, true));
    EXPECT_EQ(state.image.currentScene(), 7);
    EXPECT_EQ(state.image.lastScene(), 7);   // the show grows to the chosen scene

    // The drag moves the found point wherever the mouse goes, also while playing.
    state.play.PlayFlag = true;
    const auto moved = editor().dragFoundTo(kPair, 200, 10);
    ASSERT_TRUE(moved.has_value());
    EXPECT_EQ(moved->scene, 7);
    EXPECT_EQ(moved->from, (XyPoint{60, 60}));
    EXPECT_EQ(at(7, kPair), (XyPoint{200, 10}));
    editor().padReleased();
    EXPECT_FALSE(editor().dragFoundTo(kPair, 100, 100).has_value());
    EXPECT_EQ(at(7, kPair), (XyPoint{200, 10}));
}
