#include "simulated_driver.h"

#include <algorithm>
#include <cstring>

namespace tavrelia {

int SimulatedDriver::plug(const Device& device)
{
    std::lock_guard g(mutex_);
    bus_.push_back({nextId_++, device});
    return static_cast<int>(bus_.size()) - 1;
}

void SimulatedDriver::unplug(int index)
{
    std::lock_guard g(mutex_);
    if (index >= 0 && index < static_cast<int>(bus_.size()))
        bus_.erase(bus_.begin() + index);
}

void SimulatedDriver::failNext(Call call, UsbStatus status, int times)
{
    std::lock_guard g(mutex_);
    failures_[call] = {status, times};
}

std::vector<std::vector<uint8_t>> SimulatedDriver::writes() const
{
    std::lock_guard g(mutex_);
    return writes_;
}

void SimulatedDriver::clearWrites()
{
    std::lock_guard g(mutex_);
    writes_.clear();
}

int SimulatedDriver::openHandleCount() const
{
    std::lock_guard g(mutex_);
    return static_cast<int>(handles_.size());
}

std::vector<std::string> SimulatedDriver::callLog() const
{
    std::lock_guard g(mutex_);
    return log_;
}

uint32_t SimulatedDriver::readTimeout() const
{
    std::lock_guard g(mutex_);
    return readTimeout_;
}

uint32_t SimulatedDriver::writeTimeout() const
{
    std::lock_guard g(mutex_);
    return writeTimeout_;
}

bool SimulatedDriver::takeFailure(Call call, UsbStatus& status)
{
    auto it = failures_.find(call);
    if (it == failures_.end() || it->second.second <= 0)
        return false;
    status = it->second.first;
    if (--it->second.second == 0)
        failures_.erase(it);
    return true;
}

UsbStatus SimulatedDriver::log(const std::string& what, UsbStatus status)
{
    log_.push_back(what + "=" + std::to_string(static_cast<int>(status)));
    return status;
}

UsbStatus SimulatedDriver::check(UsbHandle handle) const
{
    auto it = handles_.find(handle);
    if (it == handles_.end())
        return UsbStatus::InvalidHandle;
    const bool present = std::any_of(bus_.begin(), bus_.end(),
                                     [&](const Plugged& p) { return p.id == it->second; });
    return present ? UsbStatus::Ok : UsbStatus::IoError;
}

UsbStatus SimulatedDriver::deviceCount(uint32_t& count)
{
    std::lock_guard g(mutex_);
    UsbStatus status;
    if (takeFailure(Call::Count, status))
        return log("count", status);
    count = static_cast<uint32_t>(bus_.size());
    return log("count", UsbStatus::Ok);
}

UsbStatus SimulatedDriver::listText(uint32_t index, UsbText& text, bool serial)
{
    const std::string name = std::string(serial ? "serial(" : "description(") +
                             std::to_string(index) + ")";
    UsbStatus status;
    if (takeFailure(serial ? Call::Serial : Call::Description, status))
        return log(name, status);
    if (index >= bus_.size())
        return log(name, UsbStatus::DeviceNotFound);
    const std::string& value = serial ? bus_[index].device.serial : bus_[index].device.description;
    // Like the library: the text is copied without a terminator when it fills the buffer.
    text.fill(0);
    std::memcpy(text.data(), value.data(), std::min(value.size(), text.size()));
    return log(name, UsbStatus::Ok);
}

UsbStatus SimulatedDriver::serialNumber(uint32_t index, UsbText& text)
{
    std::lock_guard g(mutex_);
    return listText(index, text, true);
}

UsbStatus SimulatedDriver::description(uint32_t index, UsbText& text)
{
    std::lock_guard g(mutex_);
    return listText(index, text, false);
}

UsbStatus SimulatedDriver::open(uint32_t index, UsbHandle& handle)
{
    std::lock_guard g(mutex_);
    const std::string name = "open(" + std::to_string(index) + ")";
    UsbStatus status;
    if (takeFailure(Call::Open, status))
        return log(name, status);
    if (index >= bus_.size())
        return log(name, UsbStatus::DeviceNotFound);
    const int id = bus_[index].id;
    for (const auto& [h, device] : handles_) {
        if (device == id)
            return log(name, UsbStatus::DeviceNotOpened);
    }
    handle = nextHandle_++;
    handles_[handle] = id;
    return log(name, UsbStatus::Ok);
}

UsbStatus SimulatedDriver::close(UsbHandle handle)
{
    std::lock_guard g(mutex_);
    const std::string name = "close(" + std::to_string(handle) + ")";
    UsbStatus status;
    if (takeFailure(Call::Close, status))
        return log(name, status);
    if (handles_.erase(handle) == 0)
        return log(name, UsbStatus::InvalidHandle);
    return log(name, UsbStatus::Ok);
}

UsbStatus SimulatedDriver::resetDevice(UsbHandle handle)
{
    std::lock_guard g(mutex_);
    UsbStatus status;
    if (!takeFailure(Call::Reset, status))
        status = check(handle);
    return log("reset(" + std::to_string(handle) + ")", status);
}

UsbStatus SimulatedDriver::setTimeouts(UsbHandle handle, uint32_t readMs, uint32_t writeMs)
{
    std::lock_guard g(mutex_);
    UsbStatus status;
    if (!takeFailure(Call::Timeouts, status))
        status = check(handle);
    if (status == UsbStatus::Ok) {
        readTimeout_ = readMs;
        writeTimeout_ = writeMs;
    }
    return log("timeouts(" + std::to_string(handle) + "," + std::to_string(readMs) + "," +
                   std::to_string(writeMs) + ")",
               status);
}

UsbStatus SimulatedDriver::queueStatus(UsbHandle handle, uint32_t& rxBytes)
{
    std::lock_guard g(mutex_);
    UsbStatus status;
    if (!takeFailure(Call::Queue, status))
        status = check(handle);
    if (status == UsbStatus::Ok)
        rxBytes = 0;
    return log("queue(" + std::to_string(handle) + ")", status);
}

UsbStatus SimulatedDriver::writeFrame(UsbHandle handle, DmxFrameView frame)
{
    std::lock_guard g(mutex_);
    UsbStatus status;
    if (!takeFailure(Call::Write, status))
        status = validFrame(frame) ? check(handle) : UsbStatus::InvalidParameter;
    if (status == UsbStatus::Ok)
        writes_.emplace_back(frame.begin(), frame.end());
    // Writes come every tick; only failures go into the call log.
    if (status != UsbStatus::Ok)
        log("write(" + std::to_string(handle) + ")", status);
    return status;
}

}  // namespace tavrelia
