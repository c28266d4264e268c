#pragma once

#include <QObject>

#include <array>
#include <cstdint>

#include "console_lock.h"
#include "playback/play_state.h"
#include "show/show_image.h"

namespace tavrelia {

class ChannelDesk;
class SceneList;

// The data side of the static-picture editor. While it is open, scene 0 and the
// desk's selection flags are the working picture: the show stops, the current
// scene is 0, and the show's own scene 0, rates, current scene and selection wait
// in the editor until it closes. Every operation takes the console lock; the caller
// refreshes the window afterwards.
class StaticPictureEditor : public QObject {
    Q_OBJECT
public:
    static constexpr int kPictures = 16;

    // The show it works in, the play state it stops, the desk whose boxes hold the
    // working selection, and the scene list with the one undo copy every editor shares.
    struct Parts {
        ShowImage& image;
        PlayState& play;
        ChannelDesk& desk;
        SceneList& sceneList;
        const ShowImage::Bytes& undoImage;
        ConsoleLock& lock;
    };
    explicit StaticPictureEditor(Parts parts) : parts_(parts) {}

    bool isOpen() const { return open_; }

    // The data steps of opening; false (and nothing changes) when it is open already,
    // since a second opening would overwrite what closing must restore. The show is
    // stopped first, through the controls (Controls::halt).
    bool open();
    // Puts the show's scene 0, rates, current scene and selection back.
    void close();
    // The show in memory was replaced (load, New): what the editor keeps belongs to
    // the old show and must not be written into the new one.
    void abandon();

    // Picture k into the working picture: its members selected, their levels in
    // scene 0, every other level 0.
    void ReadChaser(int picture);
    // The working picture into picture k: the selection as membership, all 256
    // levels of scene 0.
    void SaveChaser(int picture);
    // Scene bar position p: show scene (p + 1) mod 256 into scene 0, nothing selected.
    void ScrollBar1Change(int position);
    // Both erases take the shared undo snapshot first.
    void eraseWorking();
    void eraseAll();
    // The shared undo snapshot back over the whole show.
    void undo();

signals:
    // The show is in the editor's hands (no playing) or back.
    void openChanged(bool open);

private:
    bool takeOver();
    void giveBack();
    void clearWorking();

    Parts parts_;
    bool open_ = false;
    std::array<uint8_t, 256> savedScene_{};
    std::array<uint8_t, 256> savedRates_{};
    std::array<uint8_t, 256> savedSelect_{};
    uint8_t savedCurrentScene_ = 0;
};

}  // namespace tavrelia
