#pragma once

#include "console_lock.h"
#include "output/dmx_frame.h"

namespace tavrelia {

// The chase automats' share of the output tick: they write their active channels
// over the assembled scene, before the pictures, faders and blackout. Called by the
// output thread; must not block or allocate.
class AutomatOutput {
public:
    virtual ~AutomatOutput() = default;
    virtual void OutJobAvtomats(DmxFrame& frame, const ConsoleLock::Guard& held) = 0;
};

}  // namespace tavrelia
