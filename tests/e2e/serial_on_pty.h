#pragma once

// For the tests that run the real window in-process: the serial backend pointed at a
// test terminal through the program's own settings writer, before the window starts.

#include <QtTest>

#include "dmx_wire.h"
#include "output/interface_settings.h"

namespace tavrelia::wire {

inline void serialOn(const Pty& pty)
{
    InterfaceSettings serial;
    serial.backend = InterfaceSettings::Backend::Serial;
    serial.serialDevice = QString::fromStdString(pty.slavePath());
    QVERIFY(serial.save());
}

}  // namespace tavrelia::wire
