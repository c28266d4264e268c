#include "playback/tap_tempo.h"

#include <algorithm>
#include <cmath>

namespace tavrelia {

std::optional<int> TapTempo::tap(Clock::time_point at)
{
    if (count_ > 0 && (at - taps_[count_ - 1] > kGap || at < taps_[count_ - 1]))
        count_ = 0;
    if (count_ == kTaps) {
        std::rotate(taps_.begin(), taps_.begin() + 1, taps_.end());
        --count_;
    }
    taps_[count_++] = at;
    if (count_ < 2)
        return std::nullopt;
    const std::chrono::duration<double, std::milli> span = at - taps_[0];
    return static_cast<int>(std::lround(span.count() / (count_ - 1)));
}

}  // namespace tavrelia
