#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tavrelia {

// One DMX universe as it leaves the tick: slot 0 is the start code, 1..512 the channels.
using DmxFrame = std::array<uint8_t, 513>;

// The wire format of the interface: FF F0, the 513 slots with every FF sent as FF F7,
// then FF F1 FF FF. Every FF inside a packet is followed by F0, F7 or F1, so the
// receiver can find packet boundaries.
class DmxPacket {
public:
    static constexpr size_t kBufferSize = 32768;       // UsbTxBuffer
    static constexpr size_t kMinSize = 519;            // all slots below FF
    static constexpr size_t kMaxSize = 519 + 513;      // all slots FF
    using Buffer = std::array<uint8_t, kBufferSize>;

    // Writes the packet for frame from the start of buffer and returns its length.
    static size_t build(const DmxFrame& frame, Buffer& buffer);
    // The interface's side: the frame of one whole packet. False, with the frame
    // unchanged, for anything but exactly one well-formed packet.
    static bool read(const uint8_t* data, size_t length, DmxFrame& frame);
};

}  // namespace tavrelia
