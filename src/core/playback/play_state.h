#pragma once

#include <array>
#include <cstdint>

namespace tavrelia {

// Whether the show plays, and the per-channel steps of the fade to the current scene
// in one period. The user-interface thread writes both under the console lock; the
// output tick reads them under it.
struct PlayState {
    static constexpr int kChannels = 256;   // index = channel number, 1..255 used

    bool PlayFlag = false;
    std::array<uint8_t, kChannels> FadeSteps{};
};

}  // namespace tavrelia
