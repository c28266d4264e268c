// The entry of the LTC module: libltc's decoder; see ltc_decoder.h.
#include <ltc.h>

#include "timecode/ltc_decoder.h"

namespace {

class LibLtcDecoder : public tavrelia::LtcDecoder {
public:
    explicit LibLtcDecoder(int samplesPerFrame) : decoder_(ltc_decoder_create(samplesPerFrame, 32)) {}
    ~LibLtcDecoder() override { ltc_decoder_free(decoder_); }

    void write(const int16_t* samples, size_t count, int64_t position) override
    {
        ltc_decoder_write_s16(decoder_, const_cast<short*>(samples), count, position);
    }

    bool read(Frame& frame) override
    {
        LTCFrameExt decoded;
        if (!ltc_decoder_read(decoder_, &decoded))
            return false;
        SMPTETimecode time;
        ltc_frame_to_time(&time, &decoded.ltc, 0);
        frame = {time.hours, time.mins, time.secs, time.frame, decoded.ltc.dfbit != 0, decoded.reverse != 0,
                 decoded.off_start, decoded.off_end};
        return true;
    }

private:
    LTCDecoder* decoder_;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) tavrelia::LtcDecoder* tavreliaLtcDecoder(int samplesPerFrame)
{
    return new LibLtcDecoder(samplesPerFrame);
}
