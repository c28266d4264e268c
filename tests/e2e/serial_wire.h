#pragma once

// A pseudo-terminal as the interface, read on a thread of its own, and the program's
// own settings pointing its serial backend at it. Make it before the window.

#include "dmx_wire.h"
#include "output/interface_settings.h"

namespace tavrelia::test {

struct SerialWire {
    SerialWire()
    {
        InterfaceSettings serial;
        serial.backend = InterfaceSettings::Backend::Serial;
        serial.serialDevice = QString::fromStdString(pty.slavePath());
        saved = serial.save();
    }

    wire::Pty pty;
    wire::PacketReader reader{pty};
    bool saved = false;
};

}  // namespace tavrelia::test
