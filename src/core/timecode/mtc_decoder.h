#pragma once

#include <cstdint>
#include <optional>

#include "midi/midi_parser.h"
#include "timecode/timecode_time.h"

namespace tavrelia {

// Reads MIDI timecode: eight quarter frames make a time (the time of the frame in
// which the first of them was sent), the rate coming with the last; a full-frame
// message says a time at once. Once a time is known, every quarter frame as it
// arrives moves it on (or back, when the pieces come in falling order) by a quarter
// of a frame, so the position is known to a quarter frame between the full times;
// each completed time is checked against the count and taken when it differs.
class MtcDecoder {
public:
    struct Position {
        int64_t quarters = 0;   // quarter frames since midnight at the rate
        TimecodeRate rate = TimecodeRate::Fps25;
        int direction = 1;      // 1 forward, -1 backward, 0 a full frame (a locate)
    };

    std::optional<Position> feed(const MidiMessage& message);
    // The sender went silent: the next time is read afresh from eight pieces.
    void reset();

private:
    std::optional<Position> quarterFrame(uint8_t data);
    std::optional<Position> moved(int direction);

    uint8_t nibbles_[8] = {};
    uint8_t have_ = 0;        // bit n: piece n received since the last time read
    int lastPiece_ = -1;
    std::optional<Position> position_;
};

}  // namespace tavrelia
