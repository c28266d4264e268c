#pragma once

#include <array>
#include <cstdint>

#include "output/dmx_frame.h"

namespace tavrelia {

// Status of a driver call, numbered as the interface library numbers them.
enum class UsbStatus : int {
    Ok = 0,
    InvalidHandle = 1,
    DeviceNotFound = 2,
    DeviceNotOpened = 3,
    IoError = 4,
    InsufficientResources = 5,
    InvalidParameter = 6,
};

// Text buffer for the listing calls; the library's longest text fits in it.
using UsbText = std::array<char, 64>;

// Handle of an open interface; 0 is never a valid handle.
using UsbHandle = std::uintptr_t;

// The calls the link makes on a DMX interface. Every call returns a status and
// nothing else; results come back through the out-parameters. Calls are never made
// from two threads at once (the link serialises them), so implementations keep no lock.
// An interface takes whole DMX frames; how a frame travels (the USB interfaces' packet,
// a daemon's universe) is its driver's business.
class UsbDriver {
public:
    virtual ~UsbDriver() = default;

    virtual UsbStatus deviceCount(uint32_t& count) = 0;
    virtual UsbStatus serialNumber(uint32_t index, UsbText& text) = 0;
    virtual UsbStatus description(uint32_t index, UsbText& text) = 0;
    virtual UsbStatus open(uint32_t index, UsbHandle& handle) = 0;
    virtual UsbStatus close(UsbHandle handle) = 0;
    virtual UsbStatus resetDevice(UsbHandle handle) = 0;
    virtual UsbStatus setTimeouts(UsbHandle handle, uint32_t readMs, uint32_t writeMs) = 0;
    virtual UsbStatus queueStatus(UsbHandle handle, uint32_t& rxBytes) = 0;
    // One frame, all of it or a failure; InvalidParameter for what is no frame.
    virtual UsbStatus writeFrame(UsbHandle handle, DmxFrameView frame) = 0;
};

}  // namespace tavrelia
