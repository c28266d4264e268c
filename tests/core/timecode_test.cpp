#include <gtest/gtest.h>

#include "midi/midi_parser.h"
#include "timecode/mtc_decoder.h"
#include "timecode/timecode_chaser.h"
#include "timecode/timecode_list.h"

using namespace tavrelia;

namespace {

constexpr TimecodeRate kRates[] = {TimecodeRate::Fps24, TimecodeRate::Fps25, TimecodeRate::Fps2997Drop,
                                   TimecodeRate::Fps30};

// Every frame of a day and back, at each rate; drop frame against known counts.
TEST(Timecode, FramesAndLabelsAgreeAtEveryRate)
{
    for (TimecodeRate rate : kRates) {
        const int64_t day = TimecodeTime::framesPerDay(rate);
        for (int64_t n = 0; n < day; ++n) {
            const TimecodeTime t = TimecodeTime::fromFrames(n, rate);
            ASSERT_TRUE(t.validAt(rate)) << n;
            ASSERT_EQ(t.frameCount(rate), n) << t.text().toStdString();
        }
        EXPECT_EQ(TimecodeTime::fromFrames(day, rate).text(), "00:00:00:00");
    }
    constexpr auto df = TimecodeRate::Fps2997Drop;
    EXPECT_EQ((TimecodeTime{0, 1, 0, 2}.frameCount(df)), 1800);
    EXPECT_EQ((TimecodeTime{0, 10, 0, 0}.frameCount(df)), 17982);
    EXPECT_EQ((TimecodeTime{1, 0, 0, 0}.frameCount(df)), 107892);
}

// MIDI bytes through the parser into the decoder: eight pieces give the time, each
// quarter frame after moves it; past 23:59:59:29 is midnight, not hour 24; a full
// frame with a clock byte inside it locates.
TEST(Timecode, MidiTimecodeCountsQuarterFramesAndWrapsAtMidnight)
{
    MidiParser parser;
    MtcDecoder decoder;
    std::optional<MtcDecoder::Position> last;
    const auto feed = [&](std::initializer_list<uint8_t> bytes) {
        for (uint8_t b : bytes) {
            if (const auto m = parser.feed(b))
                if (const auto p = decoder.feed(*m))
                    last = p;
        }
    };
    // 23:59:59:28 at 30 (rate 3 in piece 7).
    const int fields[] = {28, 59, 59, 23 | 3 << 5};
    for (int piece = 0; piece < 8; ++piece)
        feed({0xF1, uint8_t(piece << 4 | ((piece % 2 ? fields[piece / 2] >> 4 : fields[piece / 2]) & 0x0F))});
    ASSERT_TRUE(last);
    EXPECT_EQ(last->rate, TimecodeRate::Fps30);
    const int64_t day = TimecodeTime::framesPerDay(TimecodeRate::Fps30) * 4;
    EXPECT_EQ(last->quarters, day - 8 + 7);
    feed({0xF1, 0x00});
    EXPECT_EQ(last->quarters, 0);   // midnight
    EXPECT_EQ(last->direction, 1);
    feed({0xF0, 0x7F, 0x7F, 0x01, 0xF8, 0x01, 1 << 5 | 2, 3, 4, 5, 0xF7});
    EXPECT_EQ(last->quarters, (TimecodeTime{2, 3, 4, 5}.frameCount(TimecodeRate::Fps25) * 4));
    EXPECT_EQ(last->direction, 0);
}

// Comments, blanks and bad lines stay where they were through edits; rows keep time
// order; the bad lines are named by number; undo takes an edit back.
TEST(Timecode, ListKeepsItsOtherLinesThroughEdits)
{
    TimecodeList list;
    list.setText("; intro\n00:00:10:00 go 2\n\n00:00:05:00 picture/3 1\nrubbish here\n00:00:20:00 tempo 999\n"
                 "00:01:00:00 blackout\n; end\n");
    ASSERT_EQ(list.faults().size(), 3);
    EXPECT_EQ(list.faults()[0].line, 4);   // out of order: put in its place
    EXPECT_EQ(list.faults()[1].line, 5);
    EXPECT_EQ(list.faults()[2].line, 6);   // tempo takes 10..170
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list.row(0).control, "picture/3");
    list.remove(1);   // go 2: its note moves down with the next row
    EXPECT_EQ(list.add({{0, 0, 30, 0}, "conveyor/5", {}}), 1);
    EXPECT_EQ(list.text(), "\n00:00:05:00 picture/3 1\n00:00:30:00 conveyor/5\n; intro\nrubbish here\n"
                           "00:00:20:00 tempo 999\n00:01:00:00 blackout\n; end\n");
    EXPECT_TRUE(list.undo());
    EXPECT_TRUE(list.undo());
    EXPECT_EQ(list.rows().size(), 3);
    EXPECT_EQ(list.row(1).value, "2");
}

// A relocation: the last go before the time, the switches the list touches as the
// rows before leave them (off when only later rows set them), the last tempo.
TEST(Timecode, RelocationSetsTheStateTheRowsLeave)
{
    QStringList applied;
    TimecodeChaser chaser([&](const QString& c, const QString& v) { applied.append(c + ' ' + v); });
    TimecodeList list;
    list.setText("00:00:00:01 go 2\n00:00:00:02 picture/1\n00:00:00:03 tempo 50\n00:00:00:04 go 3\n"
                 "00:00:00:05 picture/1 0\n00:00:00:06 blackout 1\n00:00:00:07 go 4\n");
    chaser.setRows(list.rows());
    const auto at = [](int frame) { return double(frame * 4); };
    chaser.moveTo(at(4) + 2, TimecodeRate::Fps25);
    EXPECT_EQ(applied, (QStringList{"picture/1 1", "tempo 50", "blackout 0", "go 3"}));
    applied.clear();
    chaser.moveTo(at(5), TimecodeRate::Fps25);      // on: only the row passed
    chaser.moveTo(at(5) - 3, TimecodeRate::Fps25);  // back by less than a frame: nothing
    EXPECT_EQ(applied, (QStringList{"picture/1 0"}));
    applied.clear();
    chaser.moveTo(at(1), TimecodeRate::Fps25);      // back
    EXPECT_EQ(applied, (QStringList{"picture/1 0", "blackout 0", "go 2"}));
}

}  // namespace
