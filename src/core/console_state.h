#pragma once

#include <array>
#include <cstdint>

#include "console_lock.h"
#include "output/control_state.h"
#include "output/device_feed.h"
#include "output/dmx_output.h"
#include "playback/play_state.h"
#include "show/show_image.h"

namespace tavrelia {

// What the console's modules share: the show with its one undo copy and one-scene
// buffer, what the tick reads of the window, the play state, the output slots, the
// 3D feed, and the one lock over them. The console builds its modules on it; a test
// builds only the module it tests.
struct ConsoleState {
    using SceneBuffer = std::array<uint8_t, ShowImage::kSceneSize>;

    ShowImage image;
    ShowImage::Bytes undoImage{};
    SceneBuffer sceneBuffer{};
    ControlState controls;
    // Set by the sequencer, read by the tick.
    PlayState play;
    // The output frame (written only by the output tick, and zeroed by a new show)
    // and the recoding table that routes it.
    DmxOutput dmx;
    // What the 3D view draws; the output tick fills it from every frame.
    DeviceFeed deviceFeed;
    mutable ConsoleLock consoleLock;
};

}  // namespace tavrelia
