#include "midi/midi_parser.h"

namespace tavrelia {

namespace {

std::optional<MidiMessage> realTime(uint8_t byte)
{
    using Kind = MidiMessage::Kind;
    switch (byte) {
    case 0xF8: return MidiMessage{Kind::Clock};
    case 0xFA: return MidiMessage{Kind::Start};
    case 0xFB: return MidiMessage{Kind::Continue};
    case 0xFC: return MidiMessage{Kind::Stop};
    default: return std::nullopt;   // active sensing, reset, undefined
    }
}

// Data bytes after a status byte; system exclusive (F0) counts as endless.
int dataBytes(uint8_t status)
{
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
        return 1;
    case 0xF0:
        break;
    default:
        return 2;
    }
    switch (status) {
    case 0xF1:
    case 0xF3:
        return 1;
    case 0xF2:
        return 2;
    case 0xF0:
        return -1;
    default:
        return 0;   // F4..F7 have none
    }
}

}  // namespace

std::optional<MidiMessage> MidiParser::feed(uint8_t byte)
{
    if (byte >= 0xF8)
        return realTime(byte);
    if (byte == 0xF7) {
        // The end of a system exclusive: a full timecode frame is exactly ten bytes.
        const bool fullFrame = status_ == 0xF0 && have_ == kSysExRoom && data_[0] == 0x7F && data_[2] == 0x01 &&
                               data_[3] == 0x01;
        status_ = 0;
        have_ = 0;
        if (fullFrame)
            return MidiMessage{MidiMessage::Kind::FullFrame, 0, 0, 0, {data_[4], data_[5], data_[6], data_[7]}};
        return std::nullopt;
    }
    if (byte & 0x80) {
        status_ = dataBytes(byte) == 0 ? 0 : byte;
        need_ = dataBytes(byte);
        have_ = 0;
        return std::nullopt;
    }
    if (status_ == 0)
        return std::nullopt;
    if (need_ < 0) {
        // Inside a system exclusive: what could be a full timecode frame is kept.
        if (have_ < kSysExRoom)
            data_[have_] = byte;
        if (have_ <= kSysExRoom)
            ++have_;
        return std::nullopt;
    }
    data_[have_++] = byte;
    if (have_ < need_)
        return std::nullopt;
    have_ = 0;
    return complete();
}

std::optional<MidiMessage> MidiParser::complete()
{
    using Kind = MidiMessage::Kind;
    const uint8_t status = status_;
    if (status >= 0xF0) {
        status_ = 0;   // system messages carry no running status
        if (status == 0xF1)
            return MidiMessage{Kind::QuarterFrame, 0, 0, data_[0]};
        return std::nullopt;
    }
    const auto channel = static_cast<uint8_t>(status & 0x0F);
    switch (status & 0xF0) {
    case 0x80:
        return MidiMessage{Kind::NoteOff, channel, data_[0], 0};
    case 0x90:
        return MidiMessage{data_[1] ? Kind::NoteOn : Kind::NoteOff, channel, data_[0], data_[1]};
    case 0xB0:
        return MidiMessage{Kind::ControlChange, channel, data_[0], data_[1]};
    default:
        return std::nullopt;   // aftertouch, program change, pitch bend
    }
}

}  // namespace tavrelia
