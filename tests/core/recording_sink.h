#pragma once

#include <mutex>
#include <vector>

#include "output/frame_sink.h"

namespace tavrelia::test {

// A link that is always ready (unless told otherwise) and keeps every frame.
class RecordingSink final : public FrameSink {
public:
    bool ready = true;
    bool lastDemo = false;

    bool readyForFrame(bool demo) override
    {
        lastDemo = demo;
        return ready && !demo;
    }
    void writeFrame(DmxFrameView frame) override
    {
        std::lock_guard<std::mutex> g(mutex_);
        frames_.emplace_back(frame.begin(), frame.end());
    }
    std::vector<std::vector<uint8_t>> frames() const
    {
        std::lock_guard<std::mutex> g(mutex_);
        return frames_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::vector<uint8_t>> frames_;
};

}  // namespace tavrelia::test
