#pragma once

#include <mutex>
#include <vector>

#include "output/packet_sink.h"

namespace tavrelia::test {

// A link that is always ready (unless told otherwise) and keeps every packet.
class RecordingSink final : public PacketSink {
public:
    bool ready = true;
    bool lastDemo = false;

    bool readyForPacket(bool demo) override
    {
        lastDemo = demo;
        return ready && !demo;
    }
    void writePacket(const uint8_t* data, size_t size) override
    {
        std::lock_guard<std::mutex> g(mutex_);
        packets_.emplace_back(data, data + size);
    }
    std::vector<std::vector<uint8_t>> packets() const
    {
        std::lock_guard<std::mutex> g(mutex_);
        return packets_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::vector<uint8_t>> packets_;
};

}  // namespace tavrelia::test
