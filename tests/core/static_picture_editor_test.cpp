#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "editing/channel_desk.h"
#include "editing/scene_list.h"
#include "playback/static_picture_editor.h"
#include "console_state.h"

using tavrelia::ShowImage;
using tavrelia::StaticPictureEditor;

namespace {

struct PictureEditor : ::testing::Test {
    PictureEditor()
    {
        state.image.resetToNewShow();
        ShowImage& image = state.image;
        image[ShowImage::kLastScene] = 5;
        image[ShowImage::kCurrentScene] = 3;
        for (int c = 1; c <= 255; ++c) {
            image.DataWrite(0, static_cast<uint8_t>(c), c);
            image.DataWrite(1, static_cast<uint8_t>(c), 255 - c);
        }
        image[ShowImage::rateAddress(7)] = 20;
        // Strip 3 checked on the desk (channel 3), channel 100 selected off the page.
        state.controls.stripChecked[2] = true;
        image[ShowImage::selectAddress(100)] = 1;
        before = image.bytes();
    }
    StaticPictureEditor& editor() { return pictureEditor; }
    std::vector<int> selected() const
    {
        std::vector<int> channels;
        for (int c = 0; c < 256; ++c) {
            if (state.image[ShowImage::selectAddress(c)] == 1)
                channels.push_back(c);
        }
        return channels;
    }
    uint8_t scene0(int c) const { return state.image[ShowImage::levelAddress(0, c)]; }
    void select(std::initializer_list<int> channels)
    {
        std::fill_n(state.image.data() + ShowImage::kSelectBase, 256, uint8_t{0});
        for (int c : channels)
            state.image[ShowImage::selectAddress(c)] = 1;
    }

    tavrelia::ConsoleState state;
    tavrelia::ChannelDesk desk{{state.image, state.controls, state.play, state.dmx, state.consoleLock}};
    tavrelia::SceneList sceneList{
        {state.image, state.undoImage, state.sceneBuffer, state.play, state.consoleLock}};
    StaticPictureEditor pictureEditor{
        {state.image, state.play, desk, sceneList, state.undoImage, state.consoleLock}};
    ShowImage::Bytes before{};
};

}  // namespace

TEST_F(PictureEditor, OpeningClearsTheWorkingPictureAndClosingRestoresTheShow)
{
    ASSERT_TRUE(editor().open());
    EXPECT_TRUE(editor().isOpen());
    EXPECT_EQ(state.image.currentScene(), 0);
    EXPECT_TRUE(selected().empty());
    for (int c = 0; c < 256; ++c)
        ASSERT_EQ(scene0(c), 0) << c;

    // Work done while open: levels, selection, a rate and the scene all change.
    state.image.DataWrite(0, 9, 99);
    select({1, 2, 9});
    state.image[ShowImage::rateAddress(7)] = 1;
    state.image[ShowImage::kCurrentScene] = 4;
    // A second opening is ignored: closing still brings the show's own state back.
    EXPECT_FALSE(editor().open());
    editor().close();
    EXPECT_FALSE(editor().isOpen());
    EXPECT_EQ(selected(), (std::vector<int>{3, 100}));
    // The desk's checked strip was written into the selection on opening.
    std::copy_n(state.image.data() + ShowImage::kSelectBase, 256, before.begin() + ShowImage::kSelectBase);
    EXPECT_TRUE(state.image.bytes() == before);

    // Closing a closed editor writes nothing.
    state.image.DataWrite(0, 9, 1);
    editor().close();
    EXPECT_EQ(scene0(9), 1);
}

TEST_F(PictureEditor, SavingKeepsAllLevelsButReadingShowsOnlyTheMembers)
{
    editor().open();
    state.controls.stripChecked = {};
    state.controls.stripChecked[4] = true;   // channel 5 is on the desk's page
    for (int c = 1; c <= 255; ++c)
        state.image.DataWrite(0, static_cast<uint8_t>(c), 40);
    state.image.DataWrite(0, 5, 150);
    select({5, 200});
    editor().SaveChaser(9);   // Z
    EXPECT_EQ(state.image[ShowImage::pictureFlagAddress(9, 5)], 1);
    EXPECT_EQ(state.image[ShowImage::pictureFlagAddress(9, 6)], 0);
    EXPECT_EQ(state.image[ShowImage::pictureLevelAddress(9, 5)], 150);
    EXPECT_EQ(state.image[ShowImage::pictureLevelAddress(9, 6)], 40);

    // The desk's visible boxes are written back before the picture is stored.
    state.controls.stripChecked[0] = true;
    editor().SaveChaser(2);
    EXPECT_EQ(state.image[ShowImage::pictureFlagAddress(2, 1)], 1);

    for (int c = 1; c <= 255; ++c)
        state.image.DataWrite(0, static_cast<uint8_t>(c), 7);
    select({});
    editor().ReadChaser(9);
    EXPECT_EQ(selected(), (std::vector<int>{5, 200}));
    EXPECT_EQ(scene0(5), 150);
    EXPECT_EQ(scene0(200), 40);
    EXPECT_EQ(scene0(6), 0);
    EXPECT_EQ(scene0(255), 0);
}

TEST_F(PictureEditor, SceneChoiceCopiesTheSceneAfterThePositionAndClearsTheSelection)
{
    editor().open();
    select({4});
    editor().ScrollBar1Change(0);   // the scene the main window numbers 2
    EXPECT_EQ(scene0(1), 254);
    EXPECT_EQ(scene0(200), 55);
    EXPECT_TRUE(selected().empty());
    // 255 names scene 0 itself: the working picture stays.
    state.image.DataWrite(0, 1, 12);
    editor().ScrollBar1Change(255);
    EXPECT_EQ(scene0(1), 12);
}

TEST_F(PictureEditor, ErasesTakeTheSharedUndoSnapshotAndUndoBringsItBack)
{
    editor().open();
    state.image[ShowImage::pictureFlagAddress(15, 8)] = 1;
    state.image.DataWrite(0, 8, 90);
    select({8});
    const ShowImage::Bytes working = state.image.bytes();

    editor().eraseWorking();
    EXPECT_TRUE(state.undoImage == working);
    EXPECT_TRUE(sceneList.undoAvailable());
    EXPECT_EQ(scene0(8), 0);
    EXPECT_TRUE(selected().empty());
    EXPECT_EQ(state.image[ShowImage::pictureFlagAddress(15, 8)], 1);

    editor().undo();
    EXPECT_TRUE(state.image.bytes() == working);

    editor().eraseAll();
    const uint8_t* pictures = state.image.data() + ShowImage::kPicturesBase;
    EXPECT_TRUE(std::all_of(pictures, pictures + 16 * 512, [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(scene0(8), 0);
    editor().undo();
    EXPECT_TRUE(state.image.bytes() == working);
}

TEST_F(PictureEditor, AShowReplacedWhileOpenIsNotOverwrittenOnClose)
{
    editor().open();
    state.image.resetToNewShow();   // New
    state.image.DataWrite(0, 1, 33);
    editor().abandon();
    editor().close();
    EXPECT_EQ(scene0(1), 33);
    EXPECT_EQ(state.image[ShowImage::rateAddress(7)], 255);
    EXPECT_TRUE(editor().open());   // and it opens again over the new show
}
