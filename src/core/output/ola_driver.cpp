#include "ola_driver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <ola/DmxBuffer.h>
#include <ola/client/StreamingClient.h>

#include <algorithm>
#include <cstdio>
#include <thread>

namespace tavrelia {

namespace {
// The one device's listing text: a format with one number.
UsbStatus listText(uint32_t index, UsbText& text, const char* format, unsigned number)
{
    if (index != 0)
        return UsbStatus::DeviceNotFound;
    text.fill(0);
    std::snprintf(text.data(), text.size(), format, number);
    return UsbStatus::Ok;
}
}  // namespace

OlaDriver::OlaDriver(uint32_t universe, uint16_t port)
    : universe_(universe), port_(port), buffer_(std::make_unique<ola::DmxBuffer>())
{
    // The buffer's memory is taken here, not on the output thread.
    buffer_->Blackout();
}

OlaDriver::~OlaDriver()
{
    if (client_)
        close(kHandle);
}

bool OlaDriver::daemonListening() const
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port_);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool listening =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return listening;
}

UsbStatus OlaDriver::deviceCount(uint32_t& count)
{
    count = daemonListening() ? 1 : 0;
    return UsbStatus::Ok;
}

UsbStatus OlaDriver::serialNumber(uint32_t index, UsbText& text)
{
    return listText(index, text, "olad 127.0.0.1:%u", port_);
}

UsbStatus OlaDriver::description(uint32_t index, UsbText& text)
{
    return listText(index, text, "OLA universe %u", universe_);
}

UsbStatus OlaDriver::open(uint32_t index, UsbHandle& handle)
{
    if (index != 0)
        return UsbStatus::DeviceNotFound;
    if (client_)
        return UsbStatus::DeviceNotOpened;   // one open at a time, as with the library
    ola::client::StreamingClient::Options options;
    options.auto_start = false;   // never start a daemon of our own
    options.server_port = port_;
    auto client = std::make_unique<ola::client::StreamingClient>(options);
    if (!client->Setup())
        return UsbStatus::DeviceNotFound;
    client_ = std::move(client);
    lost_ = false;
    frameWaiting_ = false;
    ending_ = false;
    sender_ = std::thread(&OlaDriver::sendFrames, this);
    handle = kHandle;
    return UsbStatus::Ok;
}

void OlaDriver::sendFrames()
{
    DmxFrame frame{};
    size_t length = 0;
    std::unique_lock hand(handMutex_);
    for (;;) {
        handed_.wait(hand, [this] { return frameWaiting_ || ending_; });
        if (!frameWaiting_)
            return;
        frame = handFrame_;
        length = handSlots_;
        frameWaiting_ = false;
        hand.unlock();
        // Slot 0, the start code, is the daemon's business: it sends the 512 channels.
        buffer_->Set(frame.data() + 1, static_cast<unsigned int>(length - 1));
        const bool sent = !lost_ && client_->SendDmx(universe_, *buffer_);
        hand.lock();
        if (!sent)
            lost_ = true;
        lastSend_ = std::chrono::steady_clock::now();
    }
}

UsbStatus OlaDriver::close(UsbHandle handle)
{
    if (!valid(handle))
        return UsbStatus::InvalidHandle;
    {
        const std::lock_guard hand(handMutex_);
        ending_ = true;
    }
    handed_.notify_one();
    sender_.join();   // after the last handed frame has gone out
    // olad drops what it has not read yet once it sees the connection close: give it
    // a moment to take the last frame (the player's final zeros).
    if (!lost_)
        std::this_thread::sleep_until(lastSend_ + kLastFrameGrace);
    client_->Stop();
    client_.reset();
    return UsbStatus::Ok;
}

UsbStatus OlaDriver::resetDevice(UsbHandle handle)
{
    return valid(handle) ? UsbStatus::Ok : UsbStatus::InvalidHandle;
}

// The client's socket never blocks a send (the library makes it non-blocking: a send
// that does not fit fails and closes the connection), so there is no time-out to set.
UsbStatus OlaDriver::setTimeouts(UsbHandle handle, uint32_t, uint32_t)
{
    return valid(handle) ? UsbStatus::Ok : UsbStatus::InvalidHandle;
}

// A dead connection shows only when a send fails; while nothing is sent (demo mode)
// the universe stays open, and the first send after it finds out.
UsbStatus OlaDriver::queueStatus(UsbHandle handle, uint32_t& rxBytes)
{
    if (!valid(handle))
        return UsbStatus::InvalidHandle;
    rxBytes = 0;
    return lost_ ? UsbStatus::IoError : UsbStatus::Ok;
}

UsbStatus OlaDriver::writeFrame(UsbHandle handle, DmxFrameView frame)
{
    if (!valid(handle))
        return UsbStatus::InvalidHandle;
    if (lost_)
        return UsbStatus::IoError;
    if (!validFrame(frame))
        return UsbStatus::InvalidParameter;
    {
        // A frame the sending thread has not taken yet is replaced: only the newest
        // matters, as on the wire.
        const std::lock_guard hand(handMutex_);
        std::copy(frame.begin(), frame.end(), handFrame_.begin());
        handSlots_ = frame.size();
        frameWaiting_ = true;
    }
    handed_.notify_one();
    return UsbStatus::Ok;
}

}  // namespace tavrelia
