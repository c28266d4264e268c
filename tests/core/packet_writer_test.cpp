#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "output/packet_writer.h"

using namespace std::chrono_literals;
using tavrelia::PacketSink;
using tavrelia::PacketWriter;

namespace {

// An interface whose writes can be held, as a device that takes no data holds them;
// a hold ends by itself after two seconds, so that a writer that waited for it
// shows up as slow rather than as a test that never ends.
class HeldDevice : public PacketSink {
public:
    bool readyForPacket(bool demo) override { return !demo; }
    void writePacket(const uint8_t* data, size_t size) override
    {
        std::unique_lock lock(mutex_);
        started_ = true;
        changed_.notify_all();
        changed_.wait_for(lock, 2s, [this] { return !held_; });
        written.emplace_back(data, data + size);
    }
    void hold(bool held)
    {
        std::lock_guard lock(mutex_);
        held_ = held;
        changed_.notify_all();
    }
    bool waitStarted()
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 2s, [this] { return started_; });
    }
    std::vector<std::vector<uint8_t>> written;

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool held_ = false;
    bool started_ = false;
};

TEST(PacketWriter, AStalledWriteHoldsNeitherTheTickNorTheOrder)
{
    HeldDevice device;
    device.hold(true);
    PacketWriter writer(device);
    const std::vector<uint8_t> first{0xFF, 0xF0, 1}, second{0xFF, 0xF0, 2}, third{0xFF, 0xF0, 3};
    EXPECT_FALSE(writer.readyForPacket(true));   // the device's own answer
    ASSERT_TRUE(writer.readyForPacket(false));

    const auto handed = std::chrono::steady_clock::now();
    writer.writePacket(first.data(), first.size());
    EXPECT_LT(std::chrono::steady_clock::now() - handed, 500ms);
    ASSERT_TRUE(device.waitStarted());
    // While the device holds the write, ticks build nothing, and a packet handed over
    // all the same is dropped rather than queued behind it.
    EXPECT_FALSE(writer.readyForPacket(false));
    writer.writePacket(second.data(), second.size());
    EXPECT_LT(std::chrono::steady_clock::now() - handed, 500ms);

    device.hold(false);
    writer.drain();
    EXPECT_TRUE(writer.readyForPacket(false));
    writer.writePacket(third.data(), third.size());
    writer.drain();
    EXPECT_EQ(device.written, (std::vector<std::vector<uint8_t>>{first, third}));
}

}  // namespace
