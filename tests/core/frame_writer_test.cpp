#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "output/frame_writer.h"

using namespace std::chrono_literals;
using tavrelia::DmxFrameView;
using tavrelia::FrameSink;
using tavrelia::FrameWriter;

namespace {

// An interface whose writes can be held, as a device that takes no data holds them;
// a hold ends by itself after two seconds, so that a writer that waited for it
// shows up as slow rather than as a test that never ends.
class HeldDevice : public FrameSink {
public:
    bool readyForFrame(bool demo) override { return !demo; }
    void writeFrame(DmxFrameView frame) override
    {
        std::unique_lock lock(mutex_);
        startedAt.push_back(std::chrono::steady_clock::now());
        started_ = true;
        changed_.notify_all();
        changed_.wait_for(lock, 2s, [this] { return !held_; });
        written.emplace_back(frame.begin(), frame.end());
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
    std::vector<std::chrono::steady_clock::time_point> startedAt;

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool held_ = false;
    bool started_ = false;
};

TEST(FrameWriter, AStalledWriteHoldsNeitherTheTickNorTheNewestFrame)
{
    HeldDevice device;
    device.hold(true);
    FrameWriter writer(device);
    const std::vector<uint8_t> first{0, 1}, second{0, 2}, third{0, 3};
    EXPECT_FALSE(writer.readyForFrame(true));   // the device's own answer
    ASSERT_TRUE(writer.readyForFrame(false));

    const auto handed = std::chrono::steady_clock::now();
    writer.writeFrame(first);
    EXPECT_LT(std::chrono::steady_clock::now() - handed, 500ms);
    ASSERT_TRUE(device.waitStarted());
    // While the device holds the write, ticks build nothing; frames handed over all
    // the same wait, each in the place of the one before, never queued.
    EXPECT_FALSE(writer.readyForFrame(false));
    writer.writeFrame(second);
    writer.writeFrame(third);
    EXPECT_LT(std::chrono::steady_clock::now() - handed, 500ms);

    device.hold(false);
    writer.drain();
    EXPECT_TRUE(writer.readyForFrame(false));
    EXPECT_EQ(device.written, (std::vector<std::vector<uint8_t>>{first, third}));
    // And never closer together than the wire carries them.
    ASSERT_EQ(device.startedAt.size(), 2u);
    EXPECT_GE(device.startedAt[1] - device.startedAt[0], FrameWriter::kWireFrame);
}

}  // namespace
