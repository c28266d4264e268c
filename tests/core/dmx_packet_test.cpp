#include <gtest/gtest.h>

#include <vector>

#include "output/dmx_packet.h"

using tavrelia::DmxFrame;
using tavrelia::DmxPacket;

namespace {

std::vector<uint8_t> build(tavrelia::DmxFrameView frame)
{
    static DmxPacket::Buffer buffer;
    const size_t n = DmxPacket::build(frame, buffer);
    return {buffer.begin(), buffer.begin() + static_cast<long>(n)};
}

// What a receiver does: find the markers and undo the stuffing.
std::vector<uint8_t> decode(const std::vector<uint8_t>& packet)
{
    EXPECT_EQ(packet[0], 0xFF);
    EXPECT_EQ(packet[1], 0xF0);
    std::vector<uint8_t> frame;
    size_t i = 2;
    for (; packet[i] != 0xFF || packet[i + 1] != 0xF1; ++i) {
        if (packet[i] == 0xFF) {
            EXPECT_EQ(packet[i + 1], 0xF7) << i;
            ++i;
            frame.push_back(0xFF);
        } else {
            frame.push_back(packet[i]);
        }
    }
    EXPECT_EQ(packet.size(), i + 4);
    EXPECT_EQ(packet[i + 2], 0xFF);
    EXPECT_EQ(packet[i + 3], 0xFF);
    return frame;
}

TEST(DmxPacket, LengthGrowsByOneForEveryFullSlot)
{
    DmxFrame frame{};
    constexpr size_t kMinSize = 2 + 513 + 4;   // no slot FF
    EXPECT_EQ(build(frame).size(), kMinSize);
    frame[0] = 0xFF;
    frame[512] = 0xFF;
    frame[100] = 0xF7;   // an F7 alone is data
    EXPECT_EQ(build(frame).size(), kMinSize + 2);
    frame.fill(0xFF);
    EXPECT_EQ(build(frame).size(), DmxPacket::kMaxSize);
}

// Whole universes and short ones (a start code alone, a few channels) alike.
TEST(DmxPacket, DecodesBackToTheFrame)
{
    DmxFrame frames[3]{};
    for (int s = 0; s < 513; ++s) {
        frames[0][s] = static_cast<uint8_t>(s);
        frames[1][s] = static_cast<uint8_t>(s % 2 ? 0xFF : 0xF1);
        frames[2][s] = static_cast<uint8_t>(0xFF - s % 3);
    }
    for (const DmxFrame& frame : frames) {
        for (size_t length : {size_t{513}, size_t{25}, size_t{1}}) {
            const std::vector<uint8_t> sent(frame.begin(), frame.begin() + static_cast<long>(length));
            EXPECT_EQ(decode(build(sent)), sent);
        }
    }
}

// What is no frame (nothing, or more than a start code and 512 slots) is never framed:
// the buffer stays as it was.
TEST(DmxPacket, RefusesWhatIsNoFrame)
{
    static DmxPacket::Buffer buffer;
    buffer.fill(0x55);
    const std::vector<uint8_t> tooLong(514, 0xFF);
    EXPECT_EQ(DmxPacket::build({}, buffer), 0u);
    EXPECT_EQ(DmxPacket::build(tooLong, buffer), 0u);
    EXPECT_EQ(buffer[0], 0x55);
}

}  // namespace
