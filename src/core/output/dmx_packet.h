#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "output/dmx_frame.h"

namespace tavrelia {

// The wire format of the USB interfaces (the FTDI chip and a serial device): FF F0,
// the frame's slots with every FF sent as FF F7, then FF F1 FF FF. Every FF inside a
// packet is followed by F0, F7 or F1, so the receiver can find packet boundaries.
// Only their drivers frame packets; everything else hands frames.
class DmxPacket {
public:
    static constexpr size_t kMaxSize = 2 + 2 * kMaxFrameSlots + 4;   // all slots FF
    using Buffer = std::array<uint8_t, kMaxSize>;

    // Writes the packet for a valid frame from the start of buffer and returns its
    // length; 0 for anything that is no frame.
    static size_t build(DmxFrameView frame, Buffer& buffer);
};

}  // namespace tavrelia
