#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace tavrelia {

// What finds the beat in a stream of sound (BeatTracker, in a module of its own: aubio
// and the codec libraries it pulls in are mapped only by a desk that listens).
// Times are seconds of the stream: the first sample fed is at 0.
class BeatFinder {
public:
    struct Grid {
        double origin = 0;     // the time of beat 0
        double period = 0;     // seconds a beat
        double confidence = 0; // 0..1
        double heard = 0;      // the last onset on the grid
        bool valid() const { return period > 0; }
        double bpm() const { return period > 0 ? 60.0 / period : 0; }
        // The first beat after `after`: its count and time.
        std::pair<int64_t, double> next(double after) const
        {
            const auto count = static_cast<int64_t>(std::floor((after - origin) / period)) + 1;
            return {count, origin + double(count) * period};
        }
    };
    // Beats heard without an onset before the grid is given up.
    static constexpr int kKeptBeats = 16;

    virtual ~BeatFinder() = default;
    // Frames of interleaved samples, mixed to one channel.
    virtual void feed(const float* samples, size_t frames, int channels) = 0;
    // Seconds fed so far.
    virtual double time() const = 0;
    // The beat in force; invalid before the first lock and after a loss.
    virtual const Grid& grid() const = 0;
    // Changes each time the grid is fitted or replaced.
    virtual uint64_t generation() const = 0;
};

}  // namespace tavrelia
