#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>

#include "output/dmx_packet.h"
#include "output/packet_sink.h"

namespace tavrelia {

// Writes the output tick's packets to the device on a thread of its own. A device
// that stops taking data then holds up this thread for its write time-out, never the
// tick: while a write is pending the ticks go on, build no packet and hand none over.
class PacketWriter : public PacketSink {
public:
    explicit PacketWriter(PacketSink& device);
    ~PacketWriter() override;
    PacketWriter(const PacketWriter&) = delete;
    PacketWriter& operator=(const PacketWriter&) = delete;

    // Output thread, console lock held: the device's answer, and no write pending.
    // Never blocks.
    bool readyForPacket(bool demo) override;
    // Output thread: copies the packet and returns at once (no allocation).
    void writePacket(const uint8_t* data, size_t size) override;
    // User-interface thread, after the output thread has stopped: returns once the
    // packet handed over last has been written, or its write failed.
    void drain();

private:
    void run();

    PacketSink& device_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::array<uint8_t, DmxPacket::kMaxSize> packet_{};
    size_t length_ = 0;   // of the packet pending or being written; 0 when idle
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace tavrelia
