#include "remote/flood_gate.h"

#include <algorithm>

namespace tavrelia {

bool FloodGate::admit(Clock::time_point now)
{
    const std::chrono::duration<double> elapsed = now - last_;
    last_ = now;
    tokens_ = std::min(burst_, tokens_ + std::max(0.0, elapsed.count()) * rate_);
    if (tokens_ < 1.0)
        return false;
    tokens_ -= 1.0;
    return true;
}

}  // namespace tavrelia
