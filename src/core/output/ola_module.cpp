// The entry of the OLA backend's module; see ola_loader.h.
#include "ola_driver.h"

extern "C" __attribute__((visibility("default"))) tavrelia::UsbDriver*
tavreliaOlaDriver(uint32_t universe, uint16_t port)
{
    return new tavrelia::OlaDriver(universe, port);
}
