#pragma once

#include <QString>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>

#include "timecode/timecode_time.h"

namespace tavrelia {

class LtcDecoder;

// LTC from an audio input: ALSA capture (mono, 16 bits, 48 kHz or what the device
// has near it) on a thread of its own, decoded by libltc (its module loaded then). For each frame read it
// tells the position at the end of the frame's audio (the frame after it moving
// forward, the frame itself moving back) and when that was, the capture's latency
// and the frame's own length allowed for. The rate comes from the frame's length in
// samples (24, 25, 30) and its drop-frame bit.
class LtcReader {
public:
    using Clock = std::chrono::steady_clock;
    struct Frame {
        int64_t quarters;
        TimecodeRate rate;
        int direction;
        Clock::time_point at;
    };
    // Called on the reader's thread.
    using Heard = std::function<void(const Frame& frame)>;
    using Failed = std::function<void(const QString& reason)>;

    LtcReader() = default;
    ~LtcReader() { stop(); }
    LtcReader(const LtcReader&) = delete;
    LtcReader& operator=(const LtcReader&) = delete;

    // Opens the capture device; false with the reason when it will not open.
    bool start(const QString& device, Heard heard, Failed failed, QString* error);
    void stop();
    unsigned sampleRate() const { return rate_; }

private:
    void run(LtcDecoder& decoder, const Heard& heard, const Failed& failed);

    void* pcm_ = nullptr;   // snd_pcm_t
    unsigned rate_ = 48000;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace tavrelia
