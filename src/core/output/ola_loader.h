#pragma once

#include <cstdint>
#include <memory>

#include "usb_driver.h"

namespace tavrelia {

// The OLA backend lives in a module of its own (libtavrelia_ola.so, beside the program
// or in lib/tavrelia/) that is loaded the first time the backend is chosen: its client
// and protobuf libraries would otherwise cost every start of the window or player some
// megabytes of memory and milliseconds of loading. A program that links the driver in
// (tests, probes) uses it directly. Without the module the backend is a bus that reports
// missing resources, and the reason goes to standard error once.
std::unique_ptr<UsbDriver> makeOlaDriver(uint32_t universe, uint16_t port);

}  // namespace tavrelia
