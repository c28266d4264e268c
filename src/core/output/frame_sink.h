#pragma once

#include "output/dmx_frame.h"

namespace tavrelia {

// Where the output hands its frames. The link to the interface implements it, and the
// frame writer in front of it.
class FrameSink {
public:
    virtual ~FrameSink() = default;

    // Output thread, console lock held, so it must not block: whether a frame should
    // be built and written now (the device is open, demo mode is off and the link is
    // ready).
    virtual bool readyForFrame(bool demo) = 0;

    // Writes one frame, without the console lock; may block up to the device's write
    // time-out. The output thread calls the writer, the writer's own thread calls the
    // link.
    virtual void writeFrame(DmxFrameView frame) = 0;
};

}  // namespace tavrelia
