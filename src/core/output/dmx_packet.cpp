#include "output/dmx_packet.h"

namespace tavrelia {

size_t DmxPacket::build(DmxFrameView frame, Buffer& buffer)
{
    if (!validFrame(frame))
        return 0;
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

}  // namespace tavrelia
