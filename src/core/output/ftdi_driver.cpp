#include "ftdi_driver.h"

#include <ftdi.h>

#include <algorithm>
#include <fstream>
#include <limits>
#include <utility>

namespace tavrelia {

namespace {

// A library context with the device list of one enumeration. The strings call closes
// whatever device its context has open, so a context that opens a device is never
// listed with again: an open makes a listing of its own and keeps its context, while
// the counting and the strings share one context that never opens anything (a new
// library context a second, while no interface is there, would cost more than all
// the rest of an idle window).
class Listing {
public:
    // With `shared`, lists in that context and leaves it alive; else in a new one.
    explicit Listing(ftdi_context* shared = nullptr)
        : ftdi_(shared ? shared : ftdi_new()), owned_(!shared)
    {
        if (!ftdi_)
            return;
        // Give the kernel's serial driver the device back when it is closed.
        ftdi_->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;
        found_ = ftdi_usb_find_all(ftdi_, &list_, 0, 0);
    }
    ~Listing()
    {
        if (list_)
            ftdi_list_free(&list_);
        if (ftdi_ && owned_)
            ftdi_free(ftdi_);
    }
    Listing(const Listing&) = delete;
    Listing& operator=(const Listing&) = delete;

    ftdi_context* context() const { return ftdi_; }
    // Hands the context over to an open handle.
    ftdi_context* release() { return std::exchange(ftdi_, nullptr); }
    // Status of the enumeration itself.
    UsbStatus status() const
    {
        if (!ftdi_ || found_ == -3)
            return UsbStatus::InsufficientResources;
        return found_ < 0 ? UsbStatus::IoError : UsbStatus::Ok;
    }
    uint32_t count() const { return found_ > 0 ? static_cast<uint32_t>(found_) : 0; }
    libusb_device* device(uint32_t index) const
    {
        ftdi_device_list* node = list_;
        for (uint32_t i = 0; node && i < index; ++i)
            node = node->next;
        return node ? node->dev : nullptr;
    }

private:
    ftdi_context* ftdi_ = nullptr;
    bool owned_ = true;
    ftdi_device_list* list_ = nullptr;
    int found_ = -1;
};

}  // namespace

FtdiDriver::FtdiDriver(std::string deviceEventsPath)
    : deviceEventsPath_(std::move(deviceEventsPath))
{
}

FtdiDriver::~FtdiDriver()
{
    for (ftdi_context* ftdi : open_) {
        ftdi_usb_close(ftdi);
        ftdi_free(ftdi);
    }
    if (lister_)
        ftdi_free(lister_);
}

ftdi_context* FtdiDriver::lister()
{
    if (!lister_)
        lister_ = ftdi_new();
    return lister_;
}

ftdi_context* FtdiDriver::find(UsbHandle handle) const
{
    auto* ftdi = reinterpret_cast<ftdi_context*>(handle);
    return std::find(open_.begin(), open_.end(), ftdi) != open_.end() ? ftdi : nullptr;
}

UsbStatus FtdiDriver::deviceCount(uint32_t& count)
{
    if (!lister())
        return UsbStatus::InsufficientResources;
    const Listing listing(lister_);
    if (listing.status() == UsbStatus::Ok)
        count = listing.count();
    return listing.status();
}

UsbStatus FtdiDriver::listText(uint32_t index, UsbText& text, Text which)
{
    if (!lister())
        return UsbStatus::InsufficientResources;
    const Listing listing(lister_);
    if (listing.status() != UsbStatus::Ok)
        return listing.status();
    libusb_device* device = listing.device(index);
    if (!device)
        return UsbStatus::DeviceNotFound;
    char* description = which == Text::Description ? text.data() : nullptr;
    char* serial = which == Text::Serial ? text.data() : nullptr;
    const int size = static_cast<int>(text.size());
    const int rc = ftdi_usb_get_strings(listing.context(), device, nullptr, 0, description, size,
                                        serial, size);
    if (rc == -4)
        return UsbStatus::DeviceNotOpened;   // no permission, or busy
    return rc < 0 ? UsbStatus::IoError : UsbStatus::Ok;
}

UsbStatus FtdiDriver::serialNumber(uint32_t index, UsbText& text)
{
    return listText(index, text, Text::Serial);
}

UsbStatus FtdiDriver::description(uint32_t index, UsbText& text)
{
    return listText(index, text, Text::Description);
}

std::optional<uint64_t> FtdiDriver::deviceEvents() const
{
    std::ifstream file(deviceEventsPath_);
    uint64_t count = 0;
    if (file >> count)
        return count;
    return std::nullopt;
}

UsbStatus FtdiDriver::open(uint32_t index, UsbHandle& handle)
{
    // Tried every second while no interface is there, and a new library context scans
    // the whole bus. No device can have come since a scan that found none unless the
    // kernel has counted a device event meanwhile (the count is read before the scan).
    const std::optional<uint64_t> events = deviceEvents();
    if (events && events == emptyScanAt_)
        return UsbStatus::DeviceNotFound;
    Listing listing;
    if (listing.status() != UsbStatus::Ok)
        return listing.status();
    libusb_device* device = listing.device(index);
    emptyScanAt_ = device ? std::nullopt : events;
    if (!device)
        return UsbStatus::DeviceNotFound;
    if (ftdi_usb_open_dev(listing.context(), device) < 0)
        return UsbStatus::DeviceNotOpened;
    ftdi_context* ftdi = listing.release();
    open_.push_back(ftdi);
    handle = reinterpret_cast<UsbHandle>(ftdi);
    return UsbStatus::Ok;
}

UsbStatus FtdiDriver::close(UsbHandle handle)
{
    ftdi_context* ftdi = find(handle);
    if (!ftdi)
        return UsbStatus::InvalidHandle;
    open_.erase(std::find(open_.begin(), open_.end(), ftdi));
    // Releasing a device that is gone fails; the context is freed all the same.
    const int rc = ftdi_usb_close(ftdi);
    ftdi_free(ftdi);
    return rc < 0 ? UsbStatus::IoError : UsbStatus::Ok;
}

UsbStatus FtdiDriver::resetDevice(UsbHandle handle)
{
    ftdi_context* ftdi = find(handle);
    if (!ftdi)
        return UsbStatus::InvalidHandle;
    return ftdi_usb_reset(ftdi) < 0 ? UsbStatus::IoError : UsbStatus::Ok;
}

UsbStatus FtdiDriver::setTimeouts(UsbHandle handle, uint32_t readMs, uint32_t writeMs)
{
    ftdi_context* ftdi = find(handle);
    if (!ftdi)
        return UsbStatus::InvalidHandle;
    constexpr uint32_t kMax = std::numeric_limits<int>::max();
    if (readMs > kMax || writeMs > kMax)
        return UsbStatus::InvalidParameter;
    ftdi->usb_read_timeout = static_cast<int>(readMs);
    ftdi->usb_write_timeout = static_cast<int>(writeMs);
    return UsbStatus::Ok;
}

UsbStatus FtdiDriver::queueStatus(UsbHandle handle, uint32_t& rxBytes)
{
    ftdi_context* ftdi = find(handle);
    if (!ftdi)
        return UsbStatus::InvalidHandle;
    // Nothing is ever read from the interface; the modem-status query is what tells
    // whether the chip still answers.
    unsigned short modem = 0;
    if (ftdi_poll_modem_status(ftdi, &modem) < 0)
        return UsbStatus::IoError;
    rxBytes = 0;
    return UsbStatus::Ok;
}

UsbStatus FtdiDriver::writeFrame(UsbHandle handle, DmxFrameView frame)
{
    ftdi_context* ftdi = find(handle);
    if (!ftdi)
        return UsbStatus::InvalidHandle;
    const size_t length = DmxPacket::build(frame, packet_);
    if (length == 0)
        return UsbStatus::InvalidParameter;
    const int rc = ftdi_write_data(ftdi, packet_.data(), static_cast<int>(length));
    return rc == static_cast<int>(length) ? UsbStatus::Ok : UsbStatus::IoError;
}

}  // namespace tavrelia
