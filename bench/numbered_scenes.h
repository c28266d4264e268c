#pragma once

// The beat probes' desk: 200 scenes whose level on channel 1 is the scene's number,
// scenes that jump, the show playing, its output on a pseudo-terminal that is decoded.

#include <memory>

#include "console.h"
#include "dmx_wire.h"
#include "output/serial_driver.h"

struct NumberedScenes {
    NumberedScenes()
    {
        {
            auto guard = console.lock();
            tavrelia::ShowImage& image = console.image;
            image.resetToNewShow();
            image[tavrelia::ShowImage::kLastScene] = 199;
            for (int s = 0; s < 200; ++s)
                image.DataWrite(uint8_t(s), 1, uint8_t(s + 1));   // the scene's number
        }
        console.live.setMode(tavrelia::OutputEngine::Vykl);
        console.usbLink.setDriver(std::make_unique<tavrelia::SerialDriver>(dmx.slavePath()));
        console.usbLink.InitUsbDevise();
        console.startOutput();
        console.sequencer.start();
        console.live.play();
    }

    tavrelia::Console console;
    tavrelia::wire::Pty dmx;
    tavrelia::wire::PacketReader reader{dmx};
};
