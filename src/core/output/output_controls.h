#pragma once

#include <cstdint>

#include "console_lock.h"
#include "output/control_state.h"
#include "output/dmx_output.h"
#include "playback/play_state.h"
#include "show/show_image.h"

namespace tavrelia {

// The operator's switches of the output: blackout, macro picture, transition mode,
// the selected-levels bar and the recoding rows. Each writes under the console lock.
class OutputControls {
public:
    // The state the switches change and the lock they change it under.
    struct Parts {
        ShowImage& image;
        PlayState& play;
        ControlState& controls;
        DmxOutput& dmx;
        ConsoleLock& lock;
    };
    explicit OutputControls(Parts parts) : parts_(parts) {}

    void setBlackOut(bool on);
    void setMacroOut(bool down);
    // The box of picture 0..15: the output lays the picture over the frame while it is on.
    void setPicture(int picture, bool on);
    void setTransitionMode(int mode);   // -1 when no mode is selected
    void setDemo(bool on);

    // Sets every selected channel (ChannelSelect not 0) of the current scene to level.
    // Works while the show plays as well.
    void setSelectedLevels(uint8_t level);

    // Output slot takes the frame slot source.
    void setRecodeEntry(int slot, uint16_t source);
    // Slots 1..512 route to themselves again; slot 0 keeps its entry.
    void resetRecoding();

private:
    Parts parts_;
};

}  // namespace tavrelia
