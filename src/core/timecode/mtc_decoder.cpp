#include "timecode/mtc_decoder.h"

namespace tavrelia {

namespace {

TimecodeTime timeOf(int hours, int minutes, int seconds, int frames)
{
    return {hours % 24, minutes % 60, seconds % 60, frames % 30};
}

}  // namespace

void MtcDecoder::reset()
{
    have_ = 0;
    lastPiece_ = -1;
    position_.reset();
}

std::optional<MtcDecoder::Position> MtcDecoder::feed(const MidiMessage& message)
{
    if (message.kind == MidiMessage::Kind::QuarterFrame)
        return quarterFrame(message.value);
    if (message.kind != MidiMessage::Kind::FullFrame)
        return std::nullopt;
    const auto rate = TimecodeRate((message.time[0] >> 5) & 3);
    const TimecodeTime time = timeOf(message.time[0] & 0x1F, message.time[1], message.time[2], message.time[3]);
    have_ = 0;
    lastPiece_ = -1;
    position_ = Position{time.frameCount(rate) * 4, rate, 0};
    return position_;
}

std::optional<MtcDecoder::Position> MtcDecoder::quarterFrame(uint8_t data)
{
    const int piece = (data >> 4) & 7;
    nibbles_[piece] = data & 0x0F;
    int direction = 0;
    if (lastPiece_ >= 0) {
        if (piece == (lastPiece_ + 1) % 8)
            direction = 1;
        else if (piece == (lastPiece_ + 7) % 8)
            direction = -1;
    }
    lastPiece_ = piece;
    if (direction == 0) {
        // Out of order (a lost byte, a new sender): collect all eight again.
        have_ = uint8_t(1u << piece);
        return std::nullopt;
    }
    have_ |= uint8_t(1u << piece);
    // The last piece in the direction of play completes a time.
    const bool completes = have_ == 0xFF && piece == (direction > 0 ? 7 : 0);
    if (!completes)
        return moved(direction);
    have_ = 0;
    const auto rate = TimecodeRate((nibbles_[7] >> 1) & 3);
    const TimecodeTime time = timeOf(((nibbles_[7] & 1) << 4) | nibbles_[6], (nibbles_[5] << 4) | nibbles_[4],
                                     (nibbles_[3] << 4) | nibbles_[2], (nibbles_[1] << 4) | nibbles_[0]);
    // Forward, piece 7 comes a frame and three quarters after the frame the time
    // names; backward, piece 0 comes on it.
    int64_t quarters = time.frameCount(rate) * 4 + (direction > 0 ? 7 : 0);
    quarters = TimecodeTime::wrapped(quarters / 4, rate) * 4 + quarters % 4;
    position_ = Position{quarters, rate, direction};
    return position_;
}

std::optional<MtcDecoder::Position> MtcDecoder::moved(int direction)
{
    if (!position_)
        return std::nullopt;
    const int64_t day = TimecodeTime::framesPerDay(position_->rate) * 4;
    position_->quarters = ((position_->quarters + direction) % day + day) % day;
    position_->direction = direction;
    return position_;
}

}  // namespace tavrelia
