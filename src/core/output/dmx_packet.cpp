#include "output/dmx_packet.h"

namespace tavrelia {

size_t DmxPacket::build(const DmxFrame& frame, Buffer& buffer)
{
    size_t n = 0;
    buffer[n++] = 0xFF;
    buffer[n++] = 0xF0;
    for (uint8_t slot : frame) {
        buffer[n++] = slot;
        if (slot == 0xFF)
            buffer[n++] = 0xF7;
    }
    buffer[n++] = 0xFF;
    buffer[n++] = 0xF1;
    buffer[n++] = 0xFF;
    buffer[n++] = 0xFF;
    return n;
}

bool DmxPacket::read(const uint8_t* data, size_t length, DmxFrame& frame)
{
    if (length < kMinSize || length > kMaxSize || data[0] != 0xFF || data[1] != 0xF0)
        return false;
    const size_t end = length - 4;   // FF F1 FF FF
    if (data[end] != 0xFF || data[end + 1] != 0xF1 || data[end + 2] != 0xFF ||
        data[end + 3] != 0xFF)
        return false;
    DmxFrame decoded;
    size_t slot = 0;
    for (size_t i = 2; i < end; ++i) {
        const uint8_t value = data[i];
        if (value == 0xFF && (i + 1 == end || data[++i] != 0xF7))
            return false;
        if (slot == decoded.size())
            return false;
        decoded[slot++] = value;
    }
    if (slot != decoded.size())
        return false;
    frame = decoded;
    return true;
}

}  // namespace tavrelia
