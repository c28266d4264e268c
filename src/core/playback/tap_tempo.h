#pragma once

#include <array>
#include <chrono>
#include <optional>

namespace tavrelia {

// The tempo an operator taps: the mean interval of the last four taps. A tap more
// than two seconds after the one before starts counting afresh.
class TapTempo {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kTaps = 4;
    static constexpr Clock::duration kGap = std::chrono::seconds(2);

    // The period the taps give, in ms, from the second tap of a count on.
    std::optional<int> tap(Clock::time_point at);

private:
    std::array<Clock::time_point, kTaps> taps_{};
    int count_ = 0;   // taps of this count, up to kTaps kept
};

}  // namespace tavrelia
