#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "usb_driver.h"

namespace tavrelia {

// A scripted bus for tests: devices are plugged and pulled by the test, every frame
// written is recorded, and any call can be made to fail with a chosen status.
// A device that is open cannot be opened a second time, as with the real library.
class SimulatedDriver : public UsbDriver {
public:
    enum class Call { Count, Serial, Description, Open, Close, Reset, Timeouts, Queue, Write };

    struct Device {
        std::string serial;
        std::string description;
    };

    // Adds a device at the end of the bus; returns its index.
    int plug(const Device& device);
    // Removes the device at index; its open handles fail from now on.
    void unplug(int index);
    // The next `times` calls of this kind fail with `status` and do nothing else.
    void failNext(Call call, UsbStatus status, int times = 1);

    std::vector<std::vector<uint8_t>> writes() const;
    void clearWrites();
    int openHandleCount() const;
    std::vector<std::string> callLog() const;   // "open(0)=0", "close(1)=0", ...
    uint32_t readTimeout() const;
    uint32_t writeTimeout() const;

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
    struct Plugged {
        int id;            // unique per plug-in, so a re-plugged device is a new one
        Device device;
    };

    bool takeFailure(Call call, UsbStatus& status);
    UsbStatus log(const std::string& what, UsbStatus status);
    // Status of a call on `handle`: invalid handle, gone device or Ok.
    UsbStatus check(UsbHandle handle) const;
    UsbStatus listText(uint32_t index, UsbText& text, bool serial);

    mutable std::mutex mutex_;
    std::vector<Plugged> bus_;
    std::map<UsbHandle, int> handles_;        // handle -> plugged device id
    std::map<Call, std::pair<UsbStatus, int>> failures_;
    std::vector<std::vector<uint8_t>> writes_;
    std::vector<std::string> log_;
    int nextId_ = 1;
    UsbHandle nextHandle_ = 1;
    uint32_t readTimeout_ = 0;
    uint32_t writeTimeout_ = 0;
};

}  // namespace tavrelia
