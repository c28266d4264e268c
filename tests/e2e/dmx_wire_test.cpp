#include <gtest/gtest.h>

#include "dmx_wire.h"

using namespace tavrelia::wire;

namespace {

std::vector<uint8_t> encode(const std::vector<uint8_t>& frame)
{
    std::vector<uint8_t> wire = {0xFF, 0xF0};
    for (uint8_t b : frame) {
        wire.push_back(b);
        if (b == 0xFF)
            wire.push_back(0xF7);
    }
    wire.insert(wire.end(), {0xFF, 0xF1, 0xFF, 0xFF});
    return wire;
}

TEST(PacketDecoder, UnstuffsAndMeasures)
{
    std::vector<uint8_t> frame(513, 0);
    frame[1] = frame[2] = 0xFF;
    frame[3] = 0xF0;   // data bytes that look like markers only after FF
    frame[4] = 0xF7;
    std::vector<uint8_t> stream = {0x00, 0x12};   // noise before the first packet
    const auto first = encode(frame);
    const auto second = encode(std::vector<uint8_t>(513, 0));
    stream.insert(stream.end(), first.begin(), first.end());
    stream.insert(stream.end(), second.begin(), second.end());

    // Fed in uneven pieces, as reads from a terminal arrive.
    PacketDecoder decoder;
    for (size_t at = 0; at < stream.size(); at += 37)
        decoder.feed(stream.data() + at, std::min<size_t>(37, stream.size() - at));
    const auto packets = decoder.take();
    ASSERT_EQ(packets.size(), 2u);
    EXPECT_EQ(packets[0].frame, frame);
    EXPECT_EQ(packets[0].wireLength, 521u);
    EXPECT_EQ(packets[1].wireLength, 519u);
    EXPECT_EQ(decoder.garbage(), 2u);
}

TEST(PacketDecoder, BrokenPacketsAreGarbage)
{
    struct Case {
        std::vector<uint8_t> bytes;
        size_t packets;
    } cases[] = {
        {{0xFF, 0xF0, 0x01, 0xFF, 0x22, 0x02}, 0},          // FF followed by nothing known
        {{0xFF, 0xF0, 0x01, 0xFF, 0xF1, 0xFF, 0x00}, 0},    // tail cut short
        {{0xFF, 0xF0, 0x01, 0xFF, 0xF1, 0xFF, 0xFF}, 1},
    };
    for (const Case& c : cases) {
        PacketDecoder decoder;
        decoder.feed(c.bytes);
        EXPECT_EQ(decoder.take().size(), c.packets);
        EXPECT_EQ(decoder.garbage() > 0, c.packets == 0);
    }
}

TEST(Pty, ReaderSeesWhatTheSlaveWrites)
{
    Pty pty;
    PacketReader reader(pty);
    const int fd = ::open(pty.slavePath().c_str(), O_WRONLY | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    const auto wire = encode(std::vector<uint8_t>(513, 0x0A));
    ASSERT_EQ(::write(fd, wire.data(), wire.size()), static_cast<ssize_t>(wire.size()));
    ::close(fd);
    ASSERT_TRUE(reader.waitFor([](const auto& p) { return !p.empty(); }, std::chrono::seconds(2)));
    EXPECT_EQ(reader.packets().front().frame, std::vector<uint8_t>(513, 0x0A));
}

}  // namespace
