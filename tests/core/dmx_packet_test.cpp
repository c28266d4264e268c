#include <gtest/gtest.h>

#include <vector>

#include "output/dmx_packet.h"

using tavrelia::DmxFrame;
using tavrelia::DmxPacket;

namespace {

std::vector<uint8_t> build(const DmxFrame& frame)
{
    static DmxPacket::Buffer buffer;
    const size_t n = DmxPacket::build(frame, buffer);
    return {buffer.begin(), buffer.begin() + static_cast<long>(n)};
}

// What a receiver does: find the markers and undo the stuffing.
DmxFrame decode(const std::vector<uint8_t>& packet)
{
    EXPECT_EQ(packet[0], 0xFF);
    EXPECT_EQ(packet[1], 0xF0);
    DmxFrame frame{};
    size_t slot = 0;
    size_t i = 2;
    for (; packet[i] != 0xFF || packet[i + 1] != 0xF1; ++i) {
        if (packet[i] == 0xFF) {
            EXPECT_EQ(packet[i + 1], 0xF7) << i;
            ++i;
            frame.at(slot++) = 0xFF;
        } else {
            frame.at(slot++) = packet[i];
        }
    }
    EXPECT_EQ(slot, 513u);
    EXPECT_EQ(packet.size(), i + 4);
    EXPECT_EQ(packet[i + 2], 0xFF);
    EXPECT_EQ(packet[i + 3], 0xFF);
    return frame;
}

TEST(DmxPacket, LengthGrowsByOneForEveryFullSlot)
{
    DmxFrame frame{};
    EXPECT_EQ(build(frame).size(), DmxPacket::kMinSize);
    frame[0] = 0xFF;
    frame[512] = 0xFF;
    frame[100] = 0xF7;   // an F7 alone is data
    EXPECT_EQ(build(frame).size(), DmxPacket::kMinSize + 2);
    frame.fill(0xFF);
    EXPECT_EQ(build(frame).size(), DmxPacket::kMaxSize);
}

TEST(DmxPacket, DecodesBackToTheFrame)
{
    DmxFrame frames[3]{};
    for (int s = 0; s < 513; ++s) {
        frames[0][s] = static_cast<uint8_t>(s);
        frames[1][s] = static_cast<uint8_t>(s % 2 ? 0xFF : 0xF1);
        frames[2][s] = static_cast<uint8_t>(0xFF - s % 3);
    }
    for (const DmxFrame& frame : frames) {
        EXPECT_EQ(decode(build(frame)), frame);
        const std::vector<uint8_t> packet = build(frame);
        DmxFrame read{};
        EXPECT_TRUE(DmxPacket::read(packet.data(), packet.size(), read));
        EXPECT_EQ(read, frame);
    }
}

// The reading side takes one whole packet or nothing: a broken one leaves the frame.
TEST(DmxPacket, ReadRefusesBrokenPackets)
{
    DmxFrame frame{};
    frame[1] = 0xFF;
    frame[2] = 0xF7;
    const std::vector<uint8_t> good = build(frame);
    using Edit = void (*)(std::vector<uint8_t>&);
    const std::pair<const char*, Edit> cases[] = {
        {"no start marker", [](std::vector<uint8_t>& p) { p[1] = 0xF1; }},
        {"FF followed by data", [](std::vector<uint8_t>& p) { p[4] = 0x00; }},
        {"a slot short", [](std::vector<uint8_t>& p) { p.erase(p.begin() + 2); }},
        {"a slot too many", [](std::vector<uint8_t>& p) { p.insert(p.begin() + 2, 0x01); }},
        {"no closing bytes", [](std::vector<uint8_t>& p) { p.resize(p.size() - 2); }},
        {"two packets", [](std::vector<uint8_t>& p) { p.insert(p.end(), p.begin(), p.end()); }},
        {"escape at the end", [](std::vector<uint8_t>& p) { p[p.size() - 5] = 0xFF; }},
    };
    for (const auto& [name, edit] : cases) {
        SCOPED_TRACE(name);
        std::vector<uint8_t> packet = good;
        edit(packet);
        DmxFrame read;
        read.fill(0x55);
        EXPECT_FALSE(DmxPacket::read(packet.data(), packet.size(), read));
        EXPECT_EQ(read[0], 0x55);
    }
}

}  // namespace
