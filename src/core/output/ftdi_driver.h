#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "output/dmx_packet.h"
#include "usb_driver.h"

struct ftdi_context;
struct libusb_device;

namespace tavrelia {

// The interface through libftdi1 (and libusb): vendor 0403 devices of the FTDI
// product ids the library knows. Each open handle owns its own library context; the
// enumeration has one more, kept for the driver's life.
class FtdiDriver : public UsbDriver {
public:
    // The kernel's count of device events (plugged, pulled, ...).
    static constexpr const char* kDeviceEventsPath = "/sys/kernel/uevent_seqnum";

    explicit FtdiDriver(std::string deviceEventsPath = kDeviceEventsPath);
    ~FtdiDriver() override;
    FtdiDriver(const FtdiDriver&) = delete;
    FtdiDriver& operator=(const FtdiDriver&) = delete;

    UsbStatus deviceCount(uint32_t& count) override;
    UsbStatus serialNumber(uint32_t index, UsbText& text) override;
    UsbStatus description(uint32_t index, UsbText& text) override;
    UsbStatus open(uint32_t index, UsbHandle& handle) override;
    UsbStatus close(UsbHandle handle) override;
    UsbStatus resetDevice(UsbHandle handle) override;
    UsbStatus setTimeouts(UsbHandle handle, uint32_t readMs, uint32_t writeMs) override;
    UsbStatus queueStatus(UsbHandle handle, uint32_t& rxBytes) override;
    UsbStatus writeFrame(UsbHandle handle, DmxFrameView frame) override;

private:
    enum class Text { Serial, Description };
    UsbStatus listText(uint32_t index, UsbText& text, Text which);
    ftdi_context* find(UsbHandle handle) const;
    // The context the counting and the strings share, made at first use.
    ftdi_context* lister();
    // Null when the count cannot be read: then every open scans the bus.
    std::optional<uint64_t> deviceEvents() const;

    std::vector<ftdi_context*> open_;
    DmxPacket::Buffer packet_{};   // the frame being written, framed for the chip
    ftdi_context* lister_ = nullptr;
    std::string deviceEventsPath_;
    // The device events counted before the last scan that found nothing to open.
    std::optional<uint64_t> emptyScanAt_;
};

}  // namespace tavrelia
