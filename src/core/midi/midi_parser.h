#pragma once

#include <cstdint>
#include <optional>

namespace tavrelia {

// One message of a MIDI byte stream that the desk acts on.
struct MidiMessage {
    enum class Kind : uint8_t { NoteOff, NoteOn, ControlChange, Clock, Start, Continue, Stop };
    Kind kind = Kind::NoteOff;
    uint8_t channel = 0;   // 0..15
    uint8_t number = 0;    // note or controller
    uint8_t value = 0;     // velocity or controller value

    bool operator==(const MidiMessage&) const = default;
};

// Splits a MIDI byte stream into messages: running status, real-time bytes (clock,
// start, continue, stop) anywhere, even inside another message, system exclusive and
// the other system messages skipped. A note on of velocity 0 is a note off.
class MidiParser {
public:
    std::optional<MidiMessage> feed(uint8_t byte);

private:
    std::optional<MidiMessage> complete();

    uint8_t status_ = 0;   // 0: none, data bytes are skipped
    uint8_t data_[2] = {};
    int have_ = 0;
    int need_ = 0;
};

}  // namespace tavrelia
