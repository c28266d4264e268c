#include "editing/scene_list.h"

#include <algorithm>

namespace tavrelia {

namespace {
constexpr int kSceneSize = ShowImage::kSceneSize;
}

SceneList::SceneList(Parts parts, QObject* parent)
    : QObject(parent),
      image_(parts.image),
      undoImage_(parts.undoImage),
      sceneBuffer_(parts.sceneBuffer),
      play_(parts.play),
      lock_(parts.lock)
{
}

bool SceneList::blocked() const
{
    return play_.PlayFlag;
}

void SceneList::copyScene(const ConsoleLock::Guard&, uint8_t from, uint8_t to)
{
    auto& bytes = image_.bytes();
    const auto source = bytes.begin() + ShowImage::sceneAddress(from);
    std::copy(source, source + kSceneSize, bytes.begin() + ShowImage::sceneAddress(to));
}

bool SceneList::stepTo(uint8_t scene)
{
    if (blocked())
        return false;
    auto guard = lock_.hold();
    image_[ShowImage::kCurrentScene] = scene;
    RaschetAdr(scene);
    if (scene > image_.lastScene() && autoAdd_) {
        copyScene(guard, static_cast<uint8_t>(scene - 1), scene);
        image_[ShowImage::kLastScene] = scene;
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
    auto guard = lock_.hold();
    const uint8_t current = image_.currentScene();
    if (current == 255)
        return;
    const auto next = static_cast<uint8_t>(current + 1);
    image_[ShowImage::kCurrentScene] = next;
    RaschetAdr(next);
    // Everything from the new scene on moves up one record; byte 0 of scene 255
    // lands in the spare byte, the rest of scene 255 is lost.
    auto& bytes = image_.bytes();
    std::copy_backward(bytes.begin() + SceneAddress - kSceneSize,
                       bytes.end() - kSceneSize, bytes.end());
    image_[ShowImage::kLastScene] = static_cast<uint8_t>(std::min(image_.lastScene() + 1, 255));
}

void SceneList::DeleteScena()
{
    auto guard = lock_.hold();
    const uint8_t current = image_.currentScene();
    RaschetAdr(current);
    auto& bytes = image_.bytes();
    const auto imageEnd = bytes.begin() + ShowImage::kImageSize;
    std::copy(bytes.begin() + SceneAddress + kSceneSize, imageEnd,
              bytes.begin() + SceneAddress);
    // The vacated last record starts empty rather than with whatever lies beyond.
    std::fill(imageEnd - kSceneSize, imageEnd, uint8_t{0});
    if (current != 0 && current >= image_.lastScene())
        image_[ShowImage::kCurrentScene] = static_cast<uint8_t>(current - 1);
    if (image_.lastScene() != 0)
        image_[ShowImage::kLastScene] = static_cast<uint8_t>(image_.lastScene() - 1);
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
    auto guard = lock_.hold();
    RaschetAdr(image_.currentScene());
    auto& bytes = image_.bytes();
    std::fill_n(bytes.begin() + SceneAddress, kSceneSize, uint8_t{0});
    return true;
}

bool SceneList::copyPreviousScene()
{
    if (blocked())
        return false;
    ToMemoryUndo();
    auto guard = lock_.hold();
    const uint8_t current = image_.currentScene();
    RaschetAdr(current);
    if (current != 0)
        copyScene(guard, static_cast<uint8_t>(current - 1), current);
    return true;
}

void SceneList::SaveToPaste()
{
    auto guard = lock_.hold();
    RaschetAdr(image_.currentScene());
    const auto source = image_.bytes().begin() + SceneAddress;
    std::copy(source, source + kSceneSize, sceneBuffer_.begin());
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
    auto guard = lock_.hold();
    RaschetAdr(image_.currentScene());
    std::copy(sceneBuffer_.begin(), sceneBuffer_.end(),
              image_.bytes().begin() + SceneAddress);
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
void SceneList::copyBlockInScene(const ConsoleLock::Guard&, uint8_t scene, Channels channels)
{
    auto& bytes = image_.bytes();
    RaschetAdr(scene);
    const int base = SceneAddress;
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
    auto guard = lock_.hold();
    copyBlockInScene(guard, image_.currentScene(), channels);
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
    auto guard = lock_.hold();
    for (int s = 0; s < ShowImage::kSceneCount; ++s)
        copyBlockInScene(guard, static_cast<uint8_t>(s), channels);
    return CopyResult::Done;
}

SceneList::CopyResult SceneList::copyChannelsInSceneRange(Channels channels, Scenes scenes)
{
    ToMemoryUndo();
    if (channels.last + channels.to > 256)
        return CopyResult::TooManyChannels;
    if (scenes.last + scenes.offset > 256)
        return CopyResult::TooManyScenes;
    auto guard = lock_.hold();
    for (int s = scenes.first; s <= scenes.last; ++s)
        copyBlockInScene(guard, static_cast<uint8_t>((s + scenes.offset) % 256), channels);
    return CopyResult::Done;
}

void SceneList::ToMemoryUndo()
{
    emit status(QStringLiteral("  данные сохранены "));
    setUndoAvailable(true);
    auto guard = lock_.hold();
    undoImage_ = image_.bytes();
}

bool SceneList::undo()
{
    if (!undoAvailable_)
        return false;
    emit status(QStringLiteral(" данные возвращены "));
    setUndoAvailable(false);
    auto guard = lock_.hold();
    image_.bytes() = undoImage_;
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
