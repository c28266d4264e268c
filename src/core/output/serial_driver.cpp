#include "serial_driver.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>
#include <utility>

namespace tavrelia {

namespace {

void copyText(const std::string& value, UsbText& text)
{
    text.fill(0);
    std::memcpy(text.data(), value.data(), std::min(value.size(), text.size() - 1));
}

UsbStatus openError(int error)
{
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return UsbStatus::DeviceNotFound;
    case EACCES:
    case EPERM:
    case EBUSY:
        return UsbStatus::DeviceNotOpened;
    case ENOMEM:
    case EMFILE:
    case ENFILE:
        return UsbStatus::InsufficientResources;
    default:
        return UsbStatus::IoError;
    }
}

// Raw bytes both ways: no newline translation, no flow control, no modem lines.
bool makeRaw(int fd)
{
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return false;
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~CRTSCTS;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

}  // namespace

SerialDriver::SerialDriver(std::string path) : path_(std::move(path)) {}

SerialDriver::~SerialDriver()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool SerialDriver::present() const
{
    struct stat st{};
    return !path_.empty() && ::stat(path_.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

std::string SerialDriver::usbAttribute(const char* name) const
{
    char resolved[PATH_MAX];
    if (!realpath(path_.c_str(), resolved))
        return {};
    const std::string node = resolved;
    // /sys/class/tty/<node>/device is the USB interface; its parent is the device.
    const std::string file = "/sys/class/tty/" + node.substr(node.rfind('/') + 1) +
                             "/device/../" + name;
    std::ifstream in(file);
    std::string value;
    std::getline(in, value);
    return value;
}

UsbStatus SerialDriver::deviceCount(uint32_t& count)
{
    count = present() ? 1 : 0;
    return UsbStatus::Ok;
}

UsbStatus SerialDriver::serialNumber(uint32_t index, UsbText& text)
{
    if (index != 0 || !present())
        return UsbStatus::DeviceNotFound;
    copyText(usbAttribute("serial"), text);
    return UsbStatus::Ok;
}

UsbStatus SerialDriver::description(uint32_t index, UsbText& text)
{
    if (index != 0 || !present())
        return UsbStatus::DeviceNotFound;
    const std::string product = usbAttribute("product");
    copyText(product.empty() ? path_ : product, text);
    return UsbStatus::Ok;
}

UsbStatus SerialDriver::open(uint32_t index, UsbHandle& handle)
{
    if (index != 0 || path_.empty())
        return UsbStatus::DeviceNotFound;
    if (fd_ >= 0)
        return UsbStatus::DeviceNotOpened;   // one open at a time, as with the library
    const int fd = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return openError(errno);
    if (!makeRaw(fd)) {
        ::close(fd);
        return UsbStatus::IoError;
    }
    fd_ = fd;
    lastWriteFailed_ = false;
    handle = handleOf(fd);
    return UsbStatus::Ok;
}

UsbStatus SerialDriver::close(UsbHandle handle)
{
    if (!valid(handle))
        return UsbStatus::InvalidHandle;
    // A device that takes its data keeps the last packet (the player's final zeros);
    // what a stalled one has not taken is dropped, or close would wait for it.
    if (lastWriteFailed_ || !drained())
        tcflush(fd_, TCOFLUSH);
    const int rc = ::close(std::exchange(fd_, -1));
    return rc == 0 ? UsbStatus::Ok : UsbStatus::IoError;
}

bool SerialDriver::drained() const
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(writeTimeoutMs_);
    int queued = 0;
    while (ioctl(fd_, TIOCOUTQ, &queued) == 0 && queued > 0) {
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

UsbStatus SerialDriver::resetDevice(UsbHandle handle)
{
    if (!valid(handle))
        return UsbStatus::InvalidHandle;
    return tcflush(fd_, TCIOFLUSH) == 0 ? UsbStatus::Ok : UsbStatus::IoError;
}

UsbStatus SerialDriver::setTimeouts(UsbHandle handle, uint32_t /*readMs: nothing is read*/,
                                    uint32_t writeMs)
{
    if (!valid(handle))
        return UsbStatus::InvalidHandle;
    writeTimeoutMs_ = writeMs;
    return UsbStatus::Ok;
}

UsbStatus SerialDriver::queueStatus(UsbHandle handle, uint32_t& rxBytes)
{
    if (!valid(handle))
        return UsbStatus::InvalidHandle;
    // An unplugged device (or a closed terminal) is hung up: the query fails with EIO
    // and poll reports the hang-up.
    int pending = 0;
    if (ioctl(fd_, FIONREAD, &pending) != 0)
        return UsbStatus::IoError;
    pollfd p{fd_, 0, 0};
    if (::poll(&p, 1, 0) < 0 || (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
        return UsbStatus::IoError;
    rxBytes = static_cast<uint32_t>(pending);
    return UsbStatus::Ok;
}

UsbStatus SerialDriver::writeFrame(UsbHandle handle, DmxFrameView frame)
{
    if (!valid(handle))
        return UsbStatus::InvalidHandle;
    const size_t length = DmxPacket::build(frame, packet_);
    if (length == 0)
        return UsbStatus::InvalidParameter;
    const UsbStatus status = writeAll(packet_.data(), length);
    lastWriteFailed_ = status != UsbStatus::Ok;
    return status;
}

UsbStatus SerialDriver::writeAll(const uint8_t* data, size_t length)
{
    size_t written = 0;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(writeTimeoutMs_);
    while (written < length) {
        const ssize_t n = ::write(fd_, data + written, length - written);
        if (n > 0) {
            written += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return UsbStatus::IoError;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return UsbStatus::IoError;   // the write time-out
        pollfd p{fd_, POLLOUT, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) < 0 && errno != EINTR)
            return UsbStatus::IoError;
        if (p.revents & (POLLHUP | POLLERR | POLLNVAL))
            return UsbStatus::IoError;
    }
    return UsbStatus::Ok;
}

}  // namespace tavrelia
