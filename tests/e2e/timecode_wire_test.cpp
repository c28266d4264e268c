// MIDI timecode on the wire: the headless player chasing a show's timecode list,
// its serial backend on one pseudo-terminal and a second one standing in for the raw
// MIDI device. The test plays a timecode sender on its own thread (quarter frames on
// absolute deadlines, full frames) and reads each row's scene on the DMX wire.

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <thread>

#include "program_run.h"

using namespace std::chrono_literals;
using tavrelia::wire::Clock;
using tavrelia::wire::Packet;
using tavrelia::wire::Pty;

namespace {

struct Label {
    int h, m, s, f;
};

// The sender's own counting of labels, drop frame included.
Label nextLabel(Label t, int fps, bool drop)
{
    if (++t.f == fps) {
        t.f = 0;
        if (++t.s == 60) {
            t.s = 0;
            ++t.m;
            if (drop && t.m % 10 != 0)
                t.f = 2;
        }
    }
    return t;
}

struct Rate {
    int code;   // in the hours' top bits
    int fps;
    double real;
    bool drop;
};
constexpr Rate k24{0, 24, 24, false}, k25{1, 25, 25, false}, k2997{2, 30, 30000.0 / 1001, true}, k30{3, 30, 30, false};

class Sender {
public:
    explicit Sender(Pty& midi) : midi_(midi) {}

    void fullFrame(Label t, const Rate& r)
    {
        const uint8_t bytes[] = {0xF0, 0x7F, 0x7F, 0x01, 0x01, uint8_t(r.code << 5 | t.h), uint8_t(t.m),
                                 uint8_t(t.s), uint8_t(t.f), 0xF7};
        ASSERT_EQ(::write(midi_.master(), bytes, sizeof bytes), ssize_t(sizeof bytes));
    }
    // Quarter frames from label `from` on for `frames` frames at the real rate; the
    // write time of each quarter frame.
    std::vector<Clock::time_point> run(Label from, int frames, const Rate& r)
    {
        std::vector<Clock::time_point> at;
        const auto start = Clock::now() + 5ms;
        const auto quarter = std::chrono::duration<double>(0.25 / r.real);
        Label group = from;
        for (int q = 0; q < frames * 4; ++q) {
            const int piece = q % 8;
            if (piece == 0 && q > 0)
                group = nextLabel(nextLabel(group, r.fps, r.drop), r.fps, r.drop);
            const int fields[] = {group.f, group.s, group.m, group.h | r.code << 5};
            const int field = fields[piece / 2];
            const uint8_t nibble = piece % 2 ? (field >> 4) & 0x0F : field & 0x0F;
            std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(quarter * q));
            const uint8_t bytes[] = {0xF1, uint8_t(piece << 4 | nibble)};
            EXPECT_EQ(::write(midi_.master(), bytes, 2), 2);
            at.push_back(Clock::now());
        }
        return at;
    }

private:
    Pty& midi_;
};

// Channel 1 holds 10 * scene; picture 1 puts 99 on channel 20.
const char* const kList =
    "; one row a line: time, control, value\n"
    "01:00:00:00 go 1\n01:00:01:00 go 2\n"
    "02:00:00:00 go 1\n02:00:01:00 go 2\n02:00:01:20 go 3\n02:00:02:10 go 4\n"
    "02:00:04:12 picture/1 1\n02:00:05:00 go 5\n02:00:08:00 go 6\n"
    "03:00:00:00 go 1\n03:01:00:02 go 2\n"
    "04:00:00:00 go 1\n04:00:01:00 go 2\n"
    "04:00:02:00 no/such 1\n";

struct TimecodeChase : testing::Test {
    void SetUp() override
    {
        const QString show = run.writeThreeScenes("rock.tvl", 40, [](tavrelia::ShowImage& image) {
            image[tavrelia::ShowImage::kLastScene] = 5;
            for (int s = 0; s < 6; ++s)
                image.DataWrite(uint8_t(s), 1, uint8_t(10 * (s + 1)));
            image[tavrelia::ShowImage::pictureFlagAddress(0, 20)] = 1;
            image[tavrelia::ShowImage::pictureLevelAddress(0, 20)] = 99;
        });
        run.writeFile(run.dir("home") + "/shows/rock.tc", kList);
        run.writeConf("[Interface]\nBackend=serial\nSerialDevice=" + QByteArray::fromStdString(run.device.path().string()) +
                      "\n[MIDI]\nEnabled=true\nDevice=" + QByteArray::fromStdString(midi.slavePath()) +
                      "\n[Timecode]\nSource=mtc\n");
        run.start({"--play", show, "--timecode", "--mode", "vykl"});
        ASSERT_TRUE(wire(1, 10s)) << run.output();
    }
    // The wire shows scene's level on channel 1 (and picture's on 20) from a packet
    // read after `after`; when that packet came.
    std::optional<Clock::time_point> seen(int scene, Clock::time_point after, int picture = -1)
    {
        return seenIn(run.reader->packets(), scene, after, picture);
    }
    static std::optional<Clock::time_point> seenIn(const std::vector<Packet>& packets, int scene, Clock::time_point after,
                                                   int picture)
    {
        for (const Packet& p : packets) {
            if (p.at > after && p.frame.at(1) == 10 * scene && (picture < 0 || p.frame.at(20) == picture))
                return p.at;
        }
        return std::nullopt;
    }
    bool wire(int scene, std::chrono::milliseconds timeout = 2s, int picture = -1)
    {
        const auto from = Clock::now() - 60ms;
        return run.reader->waitFor([&](const auto& p) { return seenIn(p, scene, from, picture).has_value(); }, timeout);
    }

    tavrelia::wire::ProgramRun run;
    Pty midi;
    Sender sender{midi};
};

// Each rate: a full frame relocates to the hour's first scene, and the row a second
// on (at 29.97 drop frame across a minute whose first two labels are skipped) is on
// the wire within a tick of the quarter frame that reaches it.
TEST_F(TimecodeChase, TheFourRatesReachEachRowOnTime)
{
    struct Case {
        Rate rate;
        Label from, row;
    } cases[] = {{k24, {1, 0, 0, 10}, {1, 0, 1, 0}},
                 {k25, {2, 0, 0, 10}, {2, 0, 1, 0}},
                 {k2997, {3, 0, 59, 20}, {3, 1, 0, 2}},
                 {k30, {4, 0, 0, 10}, {4, 0, 1, 0}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate.fps);
        sender.fullFrame(c.from, c.rate);
        ASSERT_TRUE(wire(1)) << run.output();
        int frames = 0;
        for (Label t = c.from; t.m != c.row.m || t.s != c.row.s || t.f != c.row.f; t = nextLabel(t, c.rate.fps, c.rate.drop))
            ++frames;
        const auto written = sender.run(c.from, frames + 4, c.rate);
        const auto reached = written[size_t(frames * 4)];
        ASSERT_TRUE(wire(2, 1s)) << run.output();
        const double late = std::chrono::duration<double, std::milli>(*seen(2, written.front()) - reached).count();
        EXPECT_GT(late, -2) << "before its quarter frame";
        EXPECT_LT(late, 100);   // a 50 ms tick, the terminal and a busy machine
    }
    EXPECT_NE(run.standardError().find("rock.tc: line 15: no control no/such"), std::string::npos) << run.output();
}

// At 25 frames: a dropout freewheels 25 frames then holds; a jump forward and one back
// relocate (the last scene gone to, the picture as the rows leave it); a full frame
// while the sender stands relocates too.
TEST_F(TimecodeChase, DropoutJumpsAndAFullFrameWhileStopped)
{
    sender.fullFrame({2, 0, 0, 10}, k25);
    ASSERT_TRUE(wire(1));
    // Silent after 02:00:01:05: 02:00:01:20 comes by freewheel, 02:00:02:10 (30 frames on) never.
    const auto written = sender.run({2, 0, 0, 10}, 20, k25);
    ASSERT_TRUE(wire(3, 2s)) << run.output();
    const double freewheel = std::chrono::duration<double, std::milli>(*seen(3, written.back()) - written.back()).count();
    EXPECT_NEAR(freewheel, 610 + 25, 85);   // 15.25 frames, and up to a tick
    std::this_thread::sleep_for(1500ms);
    EXPECT_FALSE(seen(4, written.back())) << "no hold after the freewheel's frames";

    // Forward past 02:00:04:12 and 02:00:05:00: scene 5 with picture 1, scene 4 never.
    const auto forward = sender.run({2, 0, 5, 10}, 12, k25);
    EXPECT_TRUE(wire(5, 1s, 99));
    EXPECT_FALSE(seen(4, forward.front()));
    // Back to 02:00:00:10 without a gap: scene 1, picture 1 off again.
    sender.run({2, 0, 0, 10}, 12, k25);
    EXPECT_TRUE(wire(1, 1s, 0));
    std::this_thread::sleep_for(1500ms);
    sender.fullFrame({2, 0, 8, 5}, k25);
    EXPECT_TRUE(wire(6)) << run.output();
    EXPECT_EQ(run.reader->garbage(), 0u);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
