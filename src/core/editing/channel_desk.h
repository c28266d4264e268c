#pragma once

#include <array>
#include <cstdint>

#include <QString>

#include "console_lock.h"
#include "output/control_state.h"
#include "output/dmx_output.h"
#include "playback/play_state.h"
#include "show/show_image.h"

namespace tavrelia {

// The data side of the 27-strip channel desk: strip i (1..27) shows channel
// pageOffset() + i of the current scene. Every write takes the console lock; the
// page, the fader positions, the selection boxes and the manual switch are
// mirrored into the control state for the output tick's manual overlay.
class ChannelDesk {
public:
    static constexpr int kStrips = 27;
    static constexpr int kMaxPage = 255 - kStrips;   // 228: strip 27 is then channel 255
    static constexpr int kRefreshGroups = 9;         // slow refresh: three captions at a time
    template <typename T>
    using Strips = std::array<T, kStrips>;

    // The show's levels and selection, the overlay's copy of the strips, the play
    // state that blocks level writes, and the output slots the strips show.
    struct Parts {
        ShowImage& image;
        ControlState& controls;
        const PlayState& play;
        const DmxOutput& dmx;
        ConsoleLock& lock;
    };
    explicit ChannelDesk(Parts parts) : parts_(parts) {}

    uint8_t pageOffset() const;
    // Turns the page, with the overlay's copy of the strips that the refresh reloads.
    void setPageOffset(int position);
    int channelOf(int strip) const { return pageOffset() + strip; }

    // A fader moved: the manual overlay follows always, the scene only while stopped.
    void faderMoved(int strip, uint8_t level);
    // A channel off the page set: the current scene takes it only while stopped.
    void sceneLevelSet(int channel, uint8_t level);
    uint8_t sceneLevel(int channel) const;
    // A selection box changed: its channel's flag and the overlay's copy.
    void boxChanged(int strip, bool checked);
    void setManual(bool on);
    bool manual() const;
    bool stripChecked(int strip) const;

    // The current scene's levels of the 27 visible channels (what ReturnScrollBars loads).
    Strips<uint8_t> sceneLevels();
    // Box states from the selection flags: checked exactly when the flag is 1; the
    // overlay's copy takes them at once.
    Strips<bool> CheckBoxFromMemory();
    // The visible boxes back into the selection flags.
    void CheckBoxToMemory();

    // Level buttons; they refuse (false) while the show plays.
    bool setAllLevelsToZero();
    bool setVisibleLevels(uint8_t level);
    // Selection buttons, never blocked.
    void clearAllFlags();
    void setVisibleFlags(bool on);

    // Output slots of the 27 visible channels.
    Strips<uint8_t> outputLevels() const;
    static int percent(uint8_t level);
    static QString outputCaption(uint8_t level, bool inPercent);
    // Slow refresh: the next group 1..9; strips 3g-2..3g are refreshed.
    int nextRefreshGroup();

private:
    // The current scene's record, its address worked out afresh each time.
    uint8_t* currentScene();
    const uint8_t* currentScene() const;

    Parts parts_;
    int labelRefreshGroup_ = 1;
};

}  // namespace tavrelia
