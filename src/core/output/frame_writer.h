#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>

#include "output/frame_sink.h"

namespace tavrelia {

// Writes the output's frames to the device on a thread of its own. A device that
// stops taking data then holds up this thread for its write time-out, never the tick:
// while a write is under way the ticks go on and build no frame.
//
// Frames go out no closer together than the wire carries them (a whole universe takes
// about 23 ms on DMX512): a frame handed sooner waits for its turn here, and a newer
// one handed meanwhile takes its place, so the interface never queues stale frames
// and the output thread never waits.
class FrameWriter : public FrameSink {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kWireFrame{23};

    explicit FrameWriter(FrameSink& device);
    ~FrameWriter() override;
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;

    // Output thread, console lock held: the device's answer, and no write under way.
    // Never blocks.
    bool readyForFrame(bool demo) override;
    // Output thread: copies the frame and returns at once (no allocation).
    void writeFrame(DmxFrameView frame) override;
    // User-interface thread, after the output thread has stopped: returns once the
    // frame handed over last has been written, or its write failed.
    void drain();

private:
    void run();

    FrameSink& device_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::array<uint8_t, kMaxFrameSlots> pending_{};   // waiting for its turn
    size_t pendingSize_ = 0;                          // 0: none
    std::array<uint8_t, kMaxFrameSlots> writing_{};   // the device has it
    bool busy_ = false;
    Clock::time_point lastWrite_{};
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace tavrelia
