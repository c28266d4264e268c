#pragma once

#include <array>
#include <cstdint>

#include "console_lock.h"
#include "output/dmx_frame.h"

namespace tavrelia {

// The output's slots: the frame the tick assembles and the table that routes it.
// The output thread is the only writer of the frames (a new show zeroes them); the
// user-interface thread writes the table. Both under the console lock.
struct DmxOutput {
    static constexpr int kSlots = 513;
    using Recoding = std::array<uint16_t, kSlots>;

    DmxOutput() { resetRecoding(); }

    DmxFrame OutputFrame{};
    // The tick's frame before the live overlays (pictures, faders, hand scan,
    // blackout): a frame sent between ticks lays the overlays of the moment over it.
    DmxFrame SceneFrame{};
    // Output slot i carries the frame slot RecodeTable[i].
    Recoding RecodeTable{};

    // Slots 1..512 route to themselves again; slot 0 keeps its entry.
    void resetRecodeTable(const ConsoleLock::Guard&) { resetRecoding(); }

private:
    void resetRecoding()
    {
        for (int i = 1; i < kSlots; ++i)
            RecodeTable[i] = static_cast<uint16_t>(i);
    }
};

}  // namespace tavrelia
