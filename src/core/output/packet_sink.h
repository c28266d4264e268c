#pragma once

#include <cstddef>
#include <cstdint>

namespace tavrelia {

// Where the output tick hands its packets. The link to the interface implements it.
class PacketSink {
public:
    virtual ~PacketSink() = default;

    // Output thread, console lock held, so it must not block: whether this tick's
    // packet should be built and written (the device is open, demo mode is off and
    // the link is ready).
    virtual bool readyForPacket(bool demo) = 0;

    // Writes one complete packet, without the console lock; may block up to the
    // device's write time-out. The output thread calls the writer, the writer's own
    // thread calls the link.
    virtual void writePacket(const uint8_t* data, size_t size) = 0;
};

}  // namespace tavrelia
