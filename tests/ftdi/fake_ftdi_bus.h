#pragma once

// A USB bus with FTDI FIFO chips on it, played by this test binary in place of
// libusb: the binary defines the libusb functions libftdi imports, so the real
// libftdi talks to these chips.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "output/ftdi_driver.h"

namespace fakeusb {

struct Chip {
    uint16_t vendor = 0x0403;
    uint16_t product = 0x6001;
    uint16_t bcdDevice = 0x0600;
    std::string manufacturer = "FTDI";
    std::string description = "USB DMX512 interface";
    std::string serial = "A6008Q1X";

    bool present = true;         // false once pulled out; a re-plug is a new chip
    bool accessDenied = false;   // no permission on the device node
    bool stallWrites = false;    // the chip stops taking data: bulk writes time out

    // What the chip saw.
    std::vector<uint8_t> received;              // bytes on the bulk OUT endpoint
    std::vector<unsigned> bulkTimeouts;         // time-out of every bulk write
    std::vector<unsigned> modemPollTimeouts;    // time-out of every modem-status poll
    int resets = 0;
    int openHandles = 0;
    bool claimed = false;
    bool autoDetach = false;
};

struct Bus {
    // Every call of the fake holds it; so does a test that changes the bus while an
    // output thread writes.
    std::recursive_mutex mutex;
    std::vector<std::unique_ptr<Chip>> chips;
    int liveContexts = 0;
    int contextsMade = 0;       // every libusb_init, each a scan of the bus
    int liveDevices = 0;        // libusb_device objects not yet unreferenced
    std::vector<std::string> unexpectedCalls;

    // A plugged chip is a device event of the kernel, counted in eventsFile(): the
    // path to give the driver in place of the kernel's count.
    Chip& plug(Chip chip = {})
    {
        chips.push_back(std::make_unique<Chip>(std::move(chip)));
        countDeviceEvent();
        return *chips.back();
    }
    void countDeviceEvent();
    static const std::string& eventsFile();
};

Bus& bus();
void resetBus();

// The driver under test, counting the device events of this bus.
inline std::unique_ptr<tavrelia::FtdiDriver> driverOnBus()
{
    return std::make_unique<tavrelia::FtdiDriver>(Bus::eventsFile());
}
[[nodiscard]] inline std::unique_lock<std::recursive_mutex> lockBus()
{
    return std::unique_lock<std::recursive_mutex>(bus().mutex);
}

}  // namespace fakeusb
