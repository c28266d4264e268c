#include "editing/scene_list.h"

#include <algorithm>

#include "console.h"

namespace tavrelia {

namespace {
constexpr int kSceneSize = ShowImage::kSceneSize;
}

SceneList::SceneList(Console& console, QObject* parent) : QObject(parent), console_(console)
{
}

bool SceneList::blocked() const
{
    return console_.PlayFlag;
}

void SceneList::copyScene(uint8_t from, uint8_t to)
{
    auto& bytes = console_.image.bytes();
    const auto source = bytes.begin() + ShowImage::sceneAddress(from);
    std::copy(source, source + kSceneSize, bytes.begin() + ShowImage::sceneAddress(to));
}

bool SceneList::stepTo(uint8_t scene)
{
    if (blocked())
        return false;
    auto guard = console_.lock();
    ShowImage& image = console_.image;
    image[ShowImage::kCurrentScene] = scene;
    console_.RaschetAdr(scene);
    if (scene > image.lastScene() && autoAdd_) {
        copyScene(static_cast<uint8_t>(scene - 1), scene);
        image[ShowImage::kLastScene] = scene;
    }
    return true;
}

void SceneList::toggleAutoAdd()
{
    autoAdd_ = !autoAdd_;
    emit autoAddChanged(autoAdd_);
    emit status(QStringLiteral(" Автодобавление сцен "));
}

void SceneList::InsertNewScena()
{
    auto guard = console_.lock();
    ShowImage& image = console_.image;
    const uint8_t current = image.currentScene();
    if (current == 255)
        return;
    const auto next = static_cast<uint8_t>(current + 1);
    image[ShowImage::kCurrentScene] = next;
    console_.RaschetAdr(next);
    // Everything from the new scene on moves up one record; byte 0 of scene 255
    // lands in the spare byte, the rest of scene 255 is lost.
    auto& bytes = image.bytes();
    std::copy_backward(bytes.begin() + console_.SceneAddress - kSceneSize,
                       bytes.end() - kSceneSize, bytes.end());
    image[ShowImage::kLastScene] = static_cast<uint8_t>(std::min(image.lastScene() + 1, 255));
}

void SceneList::DeleteScena()
{
    auto guard = console_.lock();
    ShowImage& image = console_.image;
    const uint8_t current = image.currentScene();
    console_.RaschetAdr(current);
    auto& bytes = image.bytes();
    const auto imageEnd = bytes.begin() + ShowImage::kImageSize;
    std::copy(bytes.begin() + console_.SceneAddress + kSceneSize, imageEnd,
              bytes.begin() + console_.SceneAddress);
    // The vacated last record starts empty rather than with whatever lies beyond.
    std::fill(imageEnd - kSceneSize, imageEnd, uint8_t{0});
    if (current != 0 && current >= image.lastScene())
        image[ShowImage::kCurrentScene] = static_cast<uint8_t>(current - 1);
    if (image.lastScene() != 0)
        image[ShowImage::kLastScene] = static_cast<uint8_t>(image.lastScene() - 1);
}

bool SceneList::insertScene()
{
    if (blocked())
        return false;
    ToMemoryUndo();
    InsertNewScena();
    return true;
}

bool SceneList::deleteScene()
{
    if (blocked())
        return false;
    ToMemoryUndo();
    DeleteScena();
    return true;
}

bool SceneList::clearScene()
{
    if (blocked())
        return false;
    ToMemoryUndo();
    auto guard = console_.lock();
    console_.RaschetAdr(console_.image.currentScene());
    auto& bytes = console_.image.bytes();
    std::fill_n(bytes.begin() + console_.SceneAddress, kSceneSize, uint8_t{0});
    return true;
}

bool SceneList::copyPreviousScene()
{
    if (blocked())
        return false;
    ToMemoryUndo();
    auto guard = console_.lock();
    const uint8_t current = console_.image.currentScene();
    console_.RaschetAdr(current);
    if (current != 0)
        copyScene(static_cast<uint8_t>(current - 1), current);
    return true;
}

void SceneList::SaveToPaste()
{
    auto guard = console_.lock();
    console_.RaschetAdr(console_.image.currentScene());
    const auto source = console_.image.bytes().begin() + console_.SceneAddress;
    std::copy(source, source + kSceneSize, console_.sceneBuffer.begin());
    emit status(QStringLiteral(" Записать в буфер "));
}

bool SceneList::copyToBuffer()
{
    if (blocked())
        return false;
    SaveToPaste();
    return true;
}

void SceneList::LoadFromPaste()
{
    ToMemoryUndo();
    auto guard = console_.lock();
    console_.RaschetAdr(console_.image.currentScene());
    std::copy(console_.sceneBuffer.begin(), console_.sceneBuffer.end(),
              console_.image.bytes().begin() + console_.SceneAddress);
}

bool SceneList::pasteReplacing()
{
    if (blocked())
        return false;
    LoadFromPaste();
    return true;
}

bool SceneList::pasteAsNew()
{
    if (blocked())
        return false;
    // The paste takes its own snapshot after the insertion, so an undo brings back
    // the inserted copy of the previous scene.
    ToMemoryUndo();
    InsertNewScena();
    LoadFromPaste();
    return true;
}

// Byte by byte upwards, one channel beyond the last: a destination overlapping the
// source from above repeats the first source levels. Nothing beyond the image's
// end is written.
void SceneList::copyBlockInScene(uint8_t scene, Channels channels)
{
    auto& bytes = console_.image.bytes();
    console_.RaschetAdr(scene);
    const int base = console_.SceneAddress;
    for (int c = channels.first; c <= channels.last + 1; ++c) {
        const int target = base + channels.to + (c - channels.first);
        if (target >= ShowImage::kImageSize)
            break;
        bytes[target] = bytes[base + c];
    }
}

SceneList::CopyResult SceneList::copyChannelsInCurrentScene(Channels channels)
{
    ToMemoryUndo();
    if (channels.last + channels.to - channels.first > 256)
        return CopyResult::TooManyChannels;
    auto guard = console_.lock();
    copyBlockInScene(console_.image.currentScene(), channels);
    return CopyResult::Done;
}

SceneList::CopyResult SceneList::copyChannelsInAllScenes(Channels channels)
{
    return copyInEveryScene(channels, 255);
}

SceneList::CopyResult SceneList::copyChannelsInEveryScene(Channels channels)
{
    return copyInEveryScene(channels, 256);
}

SceneList::CopyResult SceneList::copyInEveryScene(Channels channels, int limit)
{
    ToMemoryUndo();
    if (channels.last + channels.to - channels.first > limit)
        return CopyResult::TooManyChannels;
    auto guard = console_.lock();
    for (int s = 0; s < ShowImage::kSceneCount; ++s)
        copyBlockInScene(static_cast<uint8_t>(s), channels);
    return CopyResult::Done;
}

SceneList::CopyResult SceneList::copyChannelsInSceneRange(Channels channels, Scenes scenes)
{
    ToMemoryUndo();
    if (channels.last + channels.to > 256)
        return CopyResult::TooManyChannels;
    if (scenes.last + scenes.offset > 256)
        return CopyResult::TooManyScenes;
    auto guard = console_.lock();
    for (int s = scenes.first; s <= scenes.last; ++s)
        copyBlockInScene(static_cast<uint8_t>((s + scenes.offset) % 256), channels);
    return CopyResult::Done;
}

void SceneList::ToMemoryUndo()
{
    emit status(QStringLiteral("  данные сохранены "));
    setUndoAvailable(true);
    auto guard = console_.lock();
    console_.undoImage = console_.image.bytes();
}

bool SceneList::undo()
{
    if (!undoAvailable_)
        return false;
    emit status(QStringLiteral(" данные возвращены "));
    setUndoAvailable(false);
    auto guard = console_.lock();
    console_.image.bytes() = console_.undoImage;
    return true;
}

void SceneList::discardUndo()
{
    setUndoAvailable(false);
}

void SceneList::setUndoAvailable(bool available)
{
    if (undoAvailable_ == available)
        return;
    undoAvailable_ = available;
    emit undoAvailableChanged(available);
}

}  // namespace tavrelia
