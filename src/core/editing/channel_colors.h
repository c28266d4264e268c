#pragma once

#include <array>
#include <cstdint>

namespace tavrelia {

// Per-channel display attributes of the desk strips. They are not part of the show
// and start all zero; index = channel number (1..255 used of 0..511).
struct ChannelColors {
    static constexpr int kSize = 512;
    using Table = std::array<uint8_t, kSize>;

    Table GroupRed{};
    Table GroupGreen{};
    Table GroupBlue{};
    Table ChannelPicture{};
};

}  // namespace tavrelia
