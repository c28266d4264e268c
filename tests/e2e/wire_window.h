#pragma once

// The real main window in-process with its output thread, whose serial backend
// writes to a pseudo-terminal that a reader decodes. Construct, check
// serialChosen, then run the window's start-up (form.FormCreate()).

#include "dmx_wire.h"
#include "output/interface_settings.h"
#include "scripted_dialogs.h"
#include "window_fixture.h"

namespace tavrelia::test {

struct WireWindow {
    static bool chooseSerial(const wire::Pty& pty)
    {
        InterfaceSettings serial;
        serial.backend = InterfaceSettings::Backend::Serial;
        serial.serialDevice = QString::fromStdString(pty.slavePath());
        SettingsStore store;
        return serial.save(store);
    }

    wire::Pty pty;
    wire::PacketReader reader{pty};
    bool serialChosen = chooseSerial(pty);
    ScriptedDialogs dialogs;   // the close sequence's save dialog is cancelled
    Window w;
};

}  // namespace tavrelia::test
