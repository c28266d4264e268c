#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace tavrelia {

// One message of a MIDI byte stream that the desk acts on.
struct MidiMessage {
    enum class Kind : uint8_t {
        NoteOff, NoteOn, ControlChange, Clock, Start, Continue, Stop,
        QuarterFrame,   // MIDI timecode: value is the data byte (piece << 4 | nibble)
        FullFrame,      // MIDI timecode's full message: time is hours (with the rate), minutes, seconds, frames
    };
    Kind kind = Kind::NoteOff;
    uint8_t channel = 0;   // 0..15
    uint8_t number = 0;    // note or controller
    uint8_t value = 0;     // velocity or controller value
    std::array<uint8_t, 4> time{};

    bool operator==(const MidiMessage&) const = default;
};

// Splits a MIDI byte stream into messages: running status, real-time bytes (clock,
// start, continue, stop) anywhere, even inside another message, system exclusive and
// the other system messages skipped. A note on of velocity 0 is a note off. Of the
// system messages, MIDI timecode is read: quarter frames (F1) and the full-frame
// message (F0 7F dev 01 01 hh mm ss ff F7, to any device).
class MidiParser {
public:
    std::optional<MidiMessage> feed(uint8_t byte);

private:
    std::optional<MidiMessage> complete();

    static constexpr int kSysExRoom = 8;
    uint8_t status_ = 0;   // 0: none, data bytes are skipped
    uint8_t data_[kSysExRoom] = {};
    int have_ = 0;
    int need_ = 0;
};

}  // namespace tavrelia
