#pragma once

#include <cstddef>
#include <cstdint>

namespace tavrelia {

// Where the output tick hands its packets. The link to the interface implements it.
class PacketSink {
public:
    virtual ~PacketSink() = default;

    // Whether this tick's packet should be built and written: the device is open, demo
    // mode is off and the link is ready. Called with the console lock held, so it must
    // not block.
    virtual bool readyForPacket(bool demo) = 0;

    // Writes one complete packet. Called by the output thread without the console
    // lock; may block up to the device's write time-out.
    virtual void writePacket(const uint8_t* data, size_t size) = 0;
};

}  // namespace tavrelia
