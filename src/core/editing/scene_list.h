#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <cstdint>

#include "console_lock.h"
#include "playback/play_state.h"
#include "show/show_image.h"

namespace tavrelia {

// The show's list of scenes: moving through it, growing it, inserting, deleting,
// clearing and duplicating scenes, the one-scene buffer, the block copies of
// channel levels and the single whole-image undo copy.
//
// The scene operations do nothing while the show plays and say so by returning
// false; the caller refreshes the window when they return true.
class SceneList : public QObject {
    Q_OBJECT
public:
    // The show, the one undo copy every editor shares, the one-scene buffer, and the
    // play state that blocks the scene operations.
    struct Parts {
        ShowImage& image;
        ShowImage::Bytes& undoImage;
        std::array<uint8_t, ShowImage::kSceneSize>& sceneBuffer;
        const PlayState& play;
        ConsoleLock& lock;
    };
    explicit SceneList(Parts parts, QObject* parent = nullptr);

    // Makes a scene current (the scene bar). With auto-add on, stepping past the
    // last scene creates the new scene as a copy of the one before it.
    bool stepTo(uint8_t scene);
    bool autoAdd() const { return autoAdd_; }
    void toggleAutoAdd();

    bool insertScene();
    bool deleteScene();
    bool clearScene();
    bool copyPreviousScene();
    bool copyToBuffer();
    bool pasteReplacing();
    bool pasteAsNew();

    // Building blocks, also used by other editors.
    void InsertNewScena();
    void DeleteScena();
    void SaveToPaste();
    void LoadFromPaste();

    // Block copies of channel levels. Each takes an undo snapshot first, even
    // when it is then refused.
    struct Channels {
        int first = 1;
        int last = 10;
        int to = 11;
    };
    struct Scenes {
        int first = 1;
        int last = 10;
        int offset = 11;
    };
    enum class CopyResult { Done, TooManyChannels, TooManyScenes };
    CopyResult copyChannelsInCurrentScene(Channels channels);
    CopyResult copyChannelsInAllScenes(Channels channels);
    // As above with the looser limit of the "channels in scenes" copy.
    CopyResult copyChannelsInEveryScene(Channels channels);
    CopyResult copyChannelsInSceneRange(Channels channels, Scenes scenes);

    void ToMemoryUndo();
    // Restores the snapshot; one level only.
    bool undo();
    bool undoAvailable() const { return undoAvailable_; }
    // A load or a new show makes the snapshot belong to another show.
    void discardUndo();

    // The address of the scene record the last operation worked on.
    int sceneAddress() const { return SceneAddress; }

signals:
    void status(const QString& text);
    void undoAvailableChanged(bool available);
    void autoAddChanged(bool on);

private:
    bool blocked() const;
    void RaschetAdr(uint8_t scene) { SceneAddress = ShowImage::sceneAddress(scene); }
    void copyBlockInScene(const ConsoleLock::Guard& held, uint8_t scene, Channels channels);
    CopyResult copyInEveryScene(Channels channels, int limit);
    void copyScene(const ConsoleLock::Guard& held, uint8_t from, uint8_t to);
    void setUndoAvailable(bool available);

    ShowImage& image_;
    ShowImage::Bytes& undoImage_;
    std::array<uint8_t, ShowImage::kSceneSize>& sceneBuffer_;
    const PlayState& play_;
    ConsoleLock& lock_;
    int SceneAddress = ShowImage::sceneAddress(0);
    bool autoAdd_ = false;
    bool undoAvailable_ = false;
};

}  // namespace tavrelia
