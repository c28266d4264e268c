#include "ola_loader.h"

#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "program_module.h"

// Defined when the driver is linked into the program; null otherwise.
extern "C" tavrelia::UsbDriver* tavreliaOlaDriver(uint32_t universe, uint16_t port)
    __attribute__((weak));

namespace tavrelia {

namespace {

using Factory = UsbDriver* (*)(uint32_t, uint16_t);

// What the link sees when the module is missing: every call fails for want of resources.
class UnloadableBackend : public UsbDriver {
public:
    UsbStatus deviceCount(uint32_t&) override { return kStatus; }
    UsbStatus serialNumber(uint32_t, UsbText&) override { return kStatus; }
    UsbStatus description(uint32_t, UsbText&) override { return kStatus; }
    UsbStatus open(uint32_t, UsbHandle&) override { return kStatus; }
    UsbStatus close(UsbHandle) override { return kStatus; }
    UsbStatus resetDevice(UsbHandle) override { return kStatus; }
    UsbStatus setTimeouts(UsbHandle, uint32_t, uint32_t) override { return kStatus; }
    UsbStatus queueStatus(UsbHandle, uint32_t&) override { return kStatus; }
    UsbStatus writeFrame(UsbHandle, DmxFrameView) override { return kStatus; }

private:
    static constexpr UsbStatus kStatus = UsbStatus::InsufficientResources;
};

// The module stays loaded for the rest of the run: its drivers may live that long.
Factory loadFactory()
{
    if (tavreliaOlaDriver)
        return &tavreliaOlaDriver;
    std::string errors;
    if (void* module = loadProgramModule("libtavrelia_ola.so", errors)) {
        if (auto factory = reinterpret_cast<Factory>(::dlsym(module, "tavreliaOlaDriver")))
            return factory;
        errors += std::string(::dlerror()) + '\n';
    }
    std::fprintf(stderr, "tavrelia: the OLA backend cannot be loaded:\n%s", errors.c_str());
    return nullptr;
}

}  // namespace

std::unique_ptr<UsbDriver> makeOlaDriver(uint32_t universe, uint16_t port)
{
    static const Factory factory = loadFactory();
    if (!factory)
        return std::make_unique<UnloadableBackend>();
    return std::unique_ptr<UsbDriver>(factory(universe, port));
}

}  // namespace tavrelia
