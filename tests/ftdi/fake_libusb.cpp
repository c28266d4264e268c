// The libusb functions libftdi 1.5 imports, answering as FTDI FIFO chips would.

#include <ftdi.h>
#include <libusb.h>

#include <cstdlib>
#include <cstring>
#include <fstream>

#include <unistd.h>

#include "fake_ftdi_bus.h"

struct libusb_context {
    int unused = 0;
};
struct libusb_device {
    fakeusb::Chip* chip;
    int refs;
};
struct libusb_device_handle {
    libusb_device* device;
};

namespace fakeusb {

Bus& bus()
{
    static Bus instance;
    return instance;
}

const std::string& Bus::eventsFile()
{
    struct TemporaryFile {
        TemporaryFile()
        {
            const int fd = ::mkstemp(path.data());
            if (fd >= 0)
                ::close(fd);
            std::ofstream(path) << "0\n";   // the kernel's count is never empty
        }
        ~TemporaryFile() { ::unlink(path.c_str()); }
        std::string path = "/tmp/fake-uevent-seqnum-XXXXXX";
    };
    static const TemporaryFile file;
    return file.path;
}

void Bus::countDeviceEvent()
{
    static uint64_t events = 0;
    std::ofstream(eventsFile(), std::ios::trunc) << ++events << '\n';
}

void resetBus()
{
    const auto held = lockBus();
    Bus& b = bus();
    b.chips.clear();
    b.liveContexts = 0;
    b.liveDevices = 0;
    b.unexpectedCalls.clear();
}

}  // namespace fakeusb

namespace {

using fakeusb::bus;
using fakeusb::Chip;

constexpr uint8_t kOutEndpoint = 0x02;

// One interface with a bulk IN and a bulk OUT endpoint of 64 bytes.
libusb_config_descriptor* makeConfig()
{
    auto* endpoints = new libusb_endpoint_descriptor[2]{};
    endpoints[0].bEndpointAddress = 0x81;
    endpoints[0].bmAttributes = LIBUSB_TRANSFER_TYPE_BULK;
    endpoints[0].wMaxPacketSize = 64;
    endpoints[1].bEndpointAddress = kOutEndpoint;
    endpoints[1].bmAttributes = LIBUSB_TRANSFER_TYPE_BULK;
    endpoints[1].wMaxPacketSize = 64;
    auto* alt = new libusb_interface_descriptor{};
    alt->bNumEndpoints = 2;
    alt->endpoint = endpoints;
    auto* interface = new libusb_interface{};
    interface->altsetting = alt;
    interface->num_altsetting = 1;
    auto* config = new libusb_config_descriptor{};
    config->bConfigurationValue = 1;
    config->bNumInterfaces = 1;
    config->interface = interface;
    return config;
}

int unexpected(const char* name)
{
    const auto held = fakeusb::lockBus();
    bus().unexpectedCalls.push_back(name);
    return LIBUSB_ERROR_NOT_SUPPORTED;
}

const std::string* stringByIndex(const Chip& chip, uint8_t index)
{
    switch (index) {
    case 1: return &chip.manufacturer;
    case 2: return &chip.description;
    case 3: return &chip.serial;
    default: return nullptr;
    }
}

}  // namespace

extern "C" {

int libusb_init(libusb_context** ctx)
{
    const auto held = fakeusb::lockBus();
    if (ctx)
        *ctx = new libusb_context;
    ++bus().liveContexts;
    ++bus().contextsMade;
    return 0;
}

void libusb_exit(libusb_context* ctx)
{
    const auto held = fakeusb::lockBus();
    delete ctx;
    --bus().liveContexts;
}

ssize_t libusb_get_device_list(libusb_context*, libusb_device*** list)
{
    const auto held = fakeusb::lockBus();
    std::vector<libusb_device*> devices;
    for (auto& chip : bus().chips) {
        if (chip->present)
            devices.push_back(new libusb_device{chip.get(), 1});
    }
    bus().liveDevices += static_cast<int>(devices.size());
    *list = new libusb_device*[devices.size() + 1];
    std::copy(devices.begin(), devices.end(), *list);
    (*list)[devices.size()] = nullptr;
    return static_cast<ssize_t>(devices.size());
}

libusb_device* libusb_ref_device(libusb_device* dev)
{
    const auto held = fakeusb::lockBus();
    ++dev->refs;
    return dev;
}

void libusb_unref_device(libusb_device* dev)
{
    const auto held = fakeusb::lockBus();
    if (--dev->refs == 0) {
        delete dev;
        --bus().liveDevices;
    }
}

void libusb_free_device_list(libusb_device** list, int unref_devices)
{
    const auto held = fakeusb::lockBus();
    if (!list)
        return;
    for (libusb_device** d = list; unref_devices && *d; ++d)
        libusb_unref_device(*d);
    delete[] list;
}

int libusb_get_device_descriptor(libusb_device* dev, libusb_device_descriptor* desc)
{
    const auto held = fakeusb::lockBus();
    std::memset(desc, 0, sizeof *desc);
    desc->bLength = LIBUSB_DT_DEVICE_SIZE;
    desc->bDescriptorType = LIBUSB_DT_DEVICE;
    desc->bcdUSB = 0x0200;
    desc->bMaxPacketSize0 = 8;
    desc->idVendor = dev->chip->vendor;
    desc->idProduct = dev->chip->product;
    desc->bcdDevice = dev->chip->bcdDevice;
    desc->iManufacturer = 1;
    desc->iProduct = 2;
    desc->iSerialNumber = 3;
    desc->bNumConfigurations = 1;
    return 0;
}

int libusb_get_config_descriptor(libusb_device*, uint8_t, libusb_config_descriptor** config)
{
    const auto held = fakeusb::lockBus();
    *config = makeConfig();
    return 0;
}

void libusb_free_config_descriptor(libusb_config_descriptor* config)
{
    const auto held = fakeusb::lockBus();
    if (!config)
        return;
    delete[] config->interface->altsetting->endpoint;
    delete config->interface->altsetting;
    delete config->interface;
    delete config;
}

uint8_t libusb_get_bus_number(libusb_device*) { return 1; }

uint8_t libusb_get_device_address(libusb_device* dev)
{
    const auto held = fakeusb::lockBus();
    uint8_t address = 2;
    for (const auto& chip : bus().chips) {
        if (chip.get() == dev->chip)
            break;
        ++address;
    }
    return address;
}

int libusb_open(libusb_device* dev, libusb_device_handle** handle)
{
    const auto held = fakeusb::lockBus();
    if (!dev->chip->present)
        return LIBUSB_ERROR_NO_DEVICE;
    if (dev->chip->accessDenied)
        return LIBUSB_ERROR_ACCESS;
    libusb_ref_device(dev);
    *handle = new libusb_device_handle{dev};
    ++dev->chip->openHandles;
    return 0;
}

void libusb_close(libusb_device_handle* handle)
{
    const auto held = fakeusb::lockBus();
    if (!handle)
        return;
    --handle->device->chip->openHandles;
    libusb_unref_device(handle->device);
    delete handle;
}

int libusb_get_string_descriptor_ascii(libusb_device_handle* handle, uint8_t index,
                                       unsigned char* data, int length)
{
    const auto held = fakeusb::lockBus();
    const Chip& chip = *handle->device->chip;
    if (!chip.present)
        return LIBUSB_ERROR_NO_DEVICE;
    const std::string* text = stringByIndex(chip, index);
    if (!text || length <= 0)
        return LIBUSB_ERROR_INVALID_PARAM;
    const int n = std::min(static_cast<int>(text->size()), length - 1);
    std::memcpy(data, text->data(), n);
    data[n] = 0;
    return n;
}

int libusb_detach_kernel_driver(libusb_device_handle*, int) { return LIBUSB_ERROR_NOT_FOUND; }

int libusb_set_auto_detach_kernel_driver(libusb_device_handle* handle, int enable)
{
    const auto held = fakeusb::lockBus();
    handle->device->chip->autoDetach = enable != 0;
    return 0;
}

int libusb_get_configuration(libusb_device_handle* handle, int* config)
{
    const auto held = fakeusb::lockBus();
    if (!handle->device->chip->present)
        return LIBUSB_ERROR_NO_DEVICE;
    *config = 1;
    return 0;
}

int libusb_set_configuration(libusb_device_handle*, int) { return 0; }

int libusb_claim_interface(libusb_device_handle* handle, int)
{
    const auto held = fakeusb::lockBus();
    Chip& chip = *handle->device->chip;
    if (!chip.present)
        return LIBUSB_ERROR_NO_DEVICE;
    if (chip.claimed)
        return LIBUSB_ERROR_BUSY;
    chip.claimed = true;
    return 0;
}

int libusb_release_interface(libusb_device_handle* handle, int)
{
    const auto held = fakeusb::lockBus();
    Chip& chip = *handle->device->chip;
    chip.claimed = false;
    return chip.present ? 0 : LIBUSB_ERROR_NO_DEVICE;
}

int libusb_control_transfer(libusb_device_handle* handle, uint8_t requestType, uint8_t request,
                            uint16_t value, uint16_t, unsigned char* data, uint16_t length,
                            unsigned int timeout)
{
    const auto held = fakeusb::lockBus();
    Chip& chip = *handle->device->chip;
    if (!chip.present)
        return LIBUSB_ERROR_NO_DEVICE;
    if (requestType == FTDI_DEVICE_IN_REQTYPE && request == SIO_POLL_MODEM_STATUS_REQUEST) {
        chip.modemPollTimeouts.push_back(timeout);
        if (length < 2)
            return LIBUSB_ERROR_OVERFLOW;
        data[0] = 0x01;   // CTS/DSR clear, status bits as a FIFO chip reports them
        data[1] = 0x60;   // transmitter empty
        return 2;
    }
    if (requestType == FTDI_DEVICE_OUT_REQTYPE && request == SIO_RESET_REQUEST &&
        value == SIO_RESET_SIO)
        ++chip.resets;
    return requestType & LIBUSB_ENDPOINT_IN ? 0 : length;
}

int libusb_bulk_transfer(libusb_device_handle* handle, unsigned char endpoint, unsigned char* data,
                         int length, int* transferred, unsigned int timeout)
{
    const auto held = fakeusb::lockBus();
    Chip& chip = *handle->device->chip;
    *transferred = 0;
    if (!chip.present)
        return LIBUSB_ERROR_NO_DEVICE;
    if (endpoint != kOutEndpoint)
        return LIBUSB_ERROR_TIMEOUT;   // nothing ever arrives from the chip
    chip.bulkTimeouts.push_back(timeout);
    if (chip.stallWrites)
        return LIBUSB_ERROR_TIMEOUT;
    chip.received.insert(chip.received.end(), data, data + length);
    *transferred = length;
    return 0;
}

// The asynchronous calls are not used by the link; any use is recorded as a fault.
libusb_transfer* libusb_alloc_transfer(int)
{
    const auto held = fakeusb::lockBus();
    unexpected("libusb_alloc_transfer");
    return nullptr;
}
void libusb_free_transfer(libusb_transfer*) { unexpected("libusb_free_transfer"); }
int libusb_submit_transfer(libusb_transfer*) { return unexpected("libusb_submit_transfer"); }
int libusb_cancel_transfer(libusb_transfer*) { return unexpected("libusb_cancel_transfer"); }
int libusb_handle_events_timeout(libusb_context*, timeval*)
{
    const auto held = fakeusb::lockBus();
    return unexpected("libusb_handle_events_timeout");
}
int libusb_handle_events_timeout_completed(libusb_context*, timeval*, int*)
{
    const auto held = fakeusb::lockBus();
    return unexpected("libusb_handle_events_timeout_completed");
}

}  // extern "C"
