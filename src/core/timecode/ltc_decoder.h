#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tavrelia {

// LTC frames out of 16-bit audio. The decoding (libltc) lives in a module of its own
// (libtavrelia_ltc.so, beside the program or in lib/tavrelia/), loaded the first time
// LTC is chosen, so that no other start maps it. A program that links the module's
// object in (a test) uses it directly.
class LtcDecoder {
public:
    struct Frame {
        int hours, minutes, seconds, frames;
        bool dropFrame;
        bool reverse;           // played backwards
        int64_t start, end;     // its first and last sample in the stream
    };
    virtual ~LtcDecoder() = default;
    // Samples at `position` (samples before them in the stream).
    virtual void write(const int16_t* samples, size_t count, int64_t position) = 0;
    // The next frame decoded, if any.
    virtual bool read(Frame& frame) = 0;
};

// A decoder for about samplesPerFrame audio samples a frame, or null with the
// loader's reasons in error when the module is missing.
std::unique_ptr<LtcDecoder> makeLtcDecoder(int samplesPerFrame, std::string& error);

}  // namespace tavrelia
