#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tavrelia {

// One DMX universe as it leaves the tick: slot 0 is the start code, 1..512 the channels.
using DmxFrame = std::array<uint8_t, 513>;

// What an output takes: the start code and then 0..512 slots (a universe may be sent
// short). Anything longer, or empty, is no frame.
using DmxFrameView = std::span<const uint8_t>;
constexpr size_t kMaxFrameSlots = 513;

inline bool validFrame(DmxFrameView frame)
{
    return !frame.empty() && frame.size() <= kMaxFrameSlots;
}

}  // namespace tavrelia
