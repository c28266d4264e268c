#pragma once

#include <array>
#include <cstdint>

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

// The calls the link makes on a USB DMX interface. Every call returns a status and
// nothing else; results come back through the out-parameters. Calls are never made
// from two threads at once (the link serialises them), so implementations keep no lock.
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
    virtual UsbStatus write(UsbHandle handle, const uint8_t* data, uint32_t length,
                            uint32_t& written) = 0;
};

}  // namespace tavrelia
