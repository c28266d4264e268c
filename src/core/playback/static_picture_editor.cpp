#include "playback/static_picture_editor.h"

#include <algorithm>
#include <utility>

#include "editing/channel_desk.h"
#include "editing/scene_list.h"

namespace tavrelia {

namespace {
constexpr int kRegion = 256;

uint8_t* scene0(ShowImage& image)
{
    return image.data() + ShowImage::sceneAddress(0);
}

uint8_t* rates(ShowImage& image)
{
    return image.data() + ShowImage::kRatesBase;
}

uint8_t* select(ShowImage& image)
{
    return image.data() + ShowImage::kSelectBase;
}
}  // namespace

bool StaticPictureEditor::open()
{
    if (!takeOver())
        return false;
    emit openChanged(true);
    return true;
}

void StaticPictureEditor::close()
{
    if (!open_)
        return;
    giveBack();
    emit openChanged(false);
}

void StaticPictureEditor::abandon()
{
    if (std::exchange(open_, false))
        emit openChanged(false);
}

bool StaticPictureEditor::takeOver()
{
    auto guard = parts_.lock.hold();
    if (open_)
        return false;
    open_ = true;
    ShowImage& image = parts_.image;
    std::copy_n(scene0(image), kRegion, savedScene_.begin());
    std::copy_n(rates(image), kRegion, savedRates_.begin());
    savedCurrentScene_ = image.currentScene();
    image[ShowImage::kCurrentScene] = 0;
    std::fill_n(scene0(image), kRegion, uint8_t{0});
    parts_.desk.CheckBoxToMemory();
    std::copy_n(select(image), kRegion, savedSelect_.begin());
    std::fill_n(select(image), kRegion, uint8_t{0});
    return true;
}

void StaticPictureEditor::giveBack()
{
    auto guard = parts_.lock.hold();
    open_ = false;
    ShowImage& image = parts_.image;
    std::copy(savedScene_.begin(), savedScene_.end(), scene0(image));
    std::copy(savedRates_.begin(), savedRates_.end(), rates(image));
    image[ShowImage::kCurrentScene] = savedCurrentScene_;
    std::copy(savedSelect_.begin(), savedSelect_.end(), select(image));
}

void StaticPictureEditor::ReadChaser(int picture)
{
    auto guard = parts_.lock.hold();
    ShowImage& image = parts_.image;
    for (int c = 0; c < kRegion; ++c) {
        const uint8_t member = image[ShowImage::pictureFlagAddress(picture, c)];
        image[ShowImage::selectAddress(c)] = member;
        scene0(image)[c] = member == 1 ? image[ShowImage::pictureLevelAddress(picture, c)] : 0;
    }
}

void StaticPictureEditor::SaveChaser(int picture)
{
    auto guard = parts_.lock.hold();
    parts_.desk.CheckBoxToMemory();
    ShowImage& image = parts_.image;
    for (int c = 0; c < kRegion; ++c) {
        image[ShowImage::pictureFlagAddress(picture, c)] = image[ShowImage::selectAddress(c)];
        image[ShowImage::pictureLevelAddress(picture, c)] = scene0(image)[c];
    }
}

void StaticPictureEditor::ScrollBar1Change(int position)
{
    auto guard = parts_.lock.hold();
    ShowImage& image = parts_.image;
    const auto from = static_cast<uint8_t>((position + 1) % ShowImage::kSceneCount);
    if (from != 0)
        std::copy_n(image.data() + ShowImage::sceneAddress(from), kRegion, scene0(image));
    std::fill_n(select(image), kRegion, uint8_t{0});
}

void StaticPictureEditor::eraseWorking()
{
    parts_.sceneList.ToMemoryUndo();
    clearWorking();
}

void StaticPictureEditor::eraseAll()
{
    parts_.sceneList.ToMemoryUndo();
    auto guard = parts_.lock.hold();
    std::fill_n(parts_.image.data() + ShowImage::kPicturesBase,
                kPictures * ShowImage::kPictureSize, uint8_t{0});
    clearWorking();
}

void StaticPictureEditor::clearWorking()
{
    auto guard = parts_.lock.hold();
    std::fill_n(scene0(parts_.image), kRegion, uint8_t{0});
    std::fill_n(select(parts_.image), kRegion, uint8_t{0});
}

void StaticPictureEditor::undo()
{
    auto guard = parts_.lock.hold();
    parts_.image.bytes() = parts_.undoImage;
}

}  // namespace tavrelia
