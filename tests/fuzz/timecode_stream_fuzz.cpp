// Any bytes as a MIDI timecode stream (quarter frames, full frames, and whatever else
// a device sends between them), read by the parser and the decoder, the position run
// through the clock and a chaser over a small list. What must hold:
// - every position is within one day at its rate, its direction -1, 0 or 1;
// - the clock's time stays within the day whatever the elapsed time;
// - the chaser only ever applies rows of its list.

#include <chrono>

#include "fuzz_support.h"
#include "midi/midi_parser.h"
#include "timecode/mtc_decoder.h"
#include "timecode/timecode_chaser.h"
#include "timecode/timecode_clock.h"

using namespace tavrelia;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TimecodeList list = [] {
        TimecodeList l;
        l.setText(QStringLiteral("00:00:00:00 go 1\n00:00:01:00 picture/2 1\n23:59:59:20 blackout 1\n"
                                 "12:00:00:00 tempo 60\n"));
        return l;
    }();
    MidiParser parser;
    MtcDecoder decoder;
    TimecodeClock clock;
    static const QStringList controls{QStringLiteral("go"), QStringLiteral("picture/2"), QStringLiteral("blackout"),
                                      QStringLiteral("tempo")};
    TimecodeChaser chaser([](const QString& control, const QString&) { FUZZ_REQUIRE(controls.contains(control)); });
    chaser.setRows(list.rows());
    TimecodeClock::Clock::time_point now{};
    for (size_t i = 0; i < size; ++i) {
        now += std::chrono::milliseconds(data[i] % 16);
        const std::optional<MidiMessage> message = parser.feed(data[i]);
        if (!message)
            continue;
        const std::optional<MtcDecoder::Position> p = decoder.feed(*message);
        if (!p)
            continue;
        FUZZ_REQUIRE(p->quarters >= 0 && p->quarters < TimecodeTime::framesPerDay(p->rate) * 4);
        FUZZ_REQUIRE(p->direction >= -1 && p->direction <= 1);
        clock.heard(p->quarters, p->rate, p->direction, now);
        const double q = clock.quarters(now + std::chrono::seconds(data[i]));
        FUZZ_REQUIRE(q >= 0 && q < double(TimecodeTime::framesPerDay(p->rate)) * 4);
        chaser.moveTo(clock.quarters(now), p->rate);
    }
    return 0;
}
