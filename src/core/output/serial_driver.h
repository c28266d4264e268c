#pragma once

#include <string>

#include "output/dmx_packet.h"
#include "usb_driver.h"

namespace tavrelia {

// The interface as a serial device node (/dev/ttyUSB0 with the kernel's ftdi_sio
// driver, or any tty): one device at a fixed path, written in raw mode, each frame in
// the interface's packet.
class SerialDriver : public UsbDriver {
public:
    explicit SerialDriver(std::string path);
    ~SerialDriver() override;
    SerialDriver(const SerialDriver&) = delete;
    SerialDriver& operator=(const SerialDriver&) = delete;

    const std::string& path() const { return path_; }

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
    bool present() const;
    // The USB device's attribute (serial, product) behind a ttyUSB/ttyACM node, or "".
    std::string usbAttribute(const char* name) const;
    bool valid(UsbHandle handle) const { return fd_ >= 0 && handle == handleOf(fd_); }
    UsbStatus writeAll(const uint8_t* data, size_t length);
    // Waits, up to the write time-out, until the device has taken all that was written.
    bool drained() const;
    static UsbHandle handleOf(int fd) { return static_cast<UsbHandle>(fd) + 1; }

    std::string path_;
    int fd_ = -1;
    uint32_t writeTimeoutMs_ = 500;
    bool lastWriteFailed_ = false;
    DmxPacket::Buffer packet_{};   // the frame being written, framed for the interface
};

}  // namespace tavrelia
