#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "output/dmx_frame.h"
#include "usb_driver.h"

namespace ola {
class DmxBuffer;
namespace client {
class StreamingClient;
}
}  // namespace ola

namespace tavrelia {

// One universe of the lighting daemon olad as the interface: the link opens it when
// olad answers on its RPC port, hands it the interface's packets, and loses it when a
// send fails (olad stopped or restarted), exactly as with a pulled USB interface.
// It takes the frames as they are: the channels of each go to the universe.
// The daemon is only ever reached on 127.0.0.1; what it does with the universe
// (Art-Net, sACN, a USB device) is its own patching.
//
// The client library builds a message for every send, so the sends run on a thread of
// the driver's own: writeFrame() (the frame writer's thread) only hands over the newest
// frame, and a failed send shows at the next write. open() and close() start and end that thread;
// they run on the thread that polls the link.
class OlaDriver : public UsbDriver {
public:
    OlaDriver(uint32_t universe, uint16_t port);
    ~OlaDriver() override;
    OlaDriver(const OlaDriver&) = delete;
    OlaDriver& operator=(const OlaDriver&) = delete;

    uint32_t universe() const { return universe_; }
    uint16_t port() const { return port_; }

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
    static constexpr UsbHandle kHandle = 1;
    static constexpr std::chrono::milliseconds kLastFrameGrace{100};

    // Whether anything listens on the RPC port now.
    bool daemonListening() const;
    bool valid(UsbHandle handle) const { return client_ && handle == kHandle; }
    // The sending thread: the newest handed frame goes to olad, until close() asks it
    // to end after the last one.
    void sendFrames();

    uint32_t universe_;
    uint16_t port_;
    std::unique_ptr<ola::client::StreamingClient> client_;
    std::unique_ptr<ola::DmxBuffer> buffer_;   // the sending thread's
    std::thread sender_;
    // Set by a failed send: the daemon has gone and the connection is dead.
    std::atomic<bool> lost_ = false;

    // Handed from writeFrame() to the sending thread.
    std::mutex handMutex_;
    std::condition_variable handed_;
    DmxFrame handFrame_{};
    size_t handSlots_ = 0;
    bool frameWaiting_ = false;
    bool ending_ = false;
    std::chrono::steady_clock::time_point lastSend_;   // written by the sending thread
};

}  // namespace tavrelia
