#include "playback/tap_beat.h"

#include <cmath>

namespace tavrelia {

TapBeat::Clock::duration TapBeat::beat() const
{
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::milli>(beatMs_));
}

// A tap is the beat of the grid nearest to it: a tap a little early or late (or a
// bounce of the button) moves the phase, it does not add a beat.
void TapBeat::tap(Clock::time_point at, std::optional<int> beatMs)
{
    if (tapped_) {
        const int64_t beats = beatMs_ > 0 ? std::llround(double((at - anchor_).count()) / double(beat().count())) : 1;
        count_ += beats;
    }
    tapped_ = true;
    anchor_ = at;
    if (beatMs)
        beatMs_ = *beatMs;
    emit moved();
}

std::optional<BeatSource::Beat> TapBeat::nextBeat(Clock::time_point after, int) const
{
    if (!tapped_ || (beatMs_ <= 0 && anchor_ <= after))
        return std::nullopt;
    int64_t k = 0;
    if (anchor_ <= after)
        k = (after - anchor_) / beat() + 1;
    return Beat{anchor_ + k * beat(), count_ + k};
}

}  // namespace tavrelia
