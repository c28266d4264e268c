#include "timecode/ltc_reader.h"

#include "timecode/ltc_decoder.h"

#include <alsa/asoundlib.h>

#include <cmath>
#include <vector>

namespace tavrelia {

namespace {

constexpr snd_pcm_uframes_t kPeriod = 256;   // about 5 ms a read

snd_pcm_t* pcmOf(void* pcm)
{
    return static_cast<snd_pcm_t*>(pcm);
}

QString alsaError(const char* what, int code)
{
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what), QString::fromLocal8Bit(snd_strerror(code)));
}

TimecodeRate rateOf(double samplesPerFrame, unsigned sampleRate, bool drop)
{
    if (drop)
        return TimecodeRate::Fps2997Drop;
    const double fps = sampleRate / samplesPerFrame;
    if (fps < 24.5)
        return TimecodeRate::Fps24;
    return fps < 27.5 ? TimecodeRate::Fps25 : TimecodeRate::Fps30;
}

}  // namespace

bool LtcReader::start(const QString& device, Heard heard, Failed failed, QString* error)
{
    stop();
    std::string why;
    std::unique_ptr<LtcDecoder> decoder = makeLtcDecoder(48000 / 25, why);
    if (!decoder) {
        *error = QString::fromStdString(why).trimmed();
        return false;
    }
    snd_pcm_t* pcm = nullptr;
    int result = snd_pcm_open(&pcm, device.toLocal8Bit().constData(), SND_PCM_STREAM_CAPTURE, 0);
    if (result < 0) {
        *error = alsaError("the audio input does not open", result);
        return false;
    }
    snd_pcm_hw_params_t* hw = nullptr;
    snd_pcm_hw_params_alloca(&hw);
    snd_pcm_uframes_t period = kPeriod;
    snd_pcm_uframes_t buffer = kPeriod * 16;
    unsigned rate = 48000;
    if ((result = snd_pcm_hw_params_any(pcm, hw)) < 0 ||
        (result = snd_pcm_hw_params_set_access(pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED)) < 0 ||
        (result = snd_pcm_hw_params_set_format(pcm, hw, SND_PCM_FORMAT_S16)) < 0 ||
        (result = snd_pcm_hw_params_set_channels(pcm, hw, 1)) < 0 ||
        (result = snd_pcm_hw_params_set_rate_near(pcm, hw, &rate, nullptr)) < 0 ||
        (result = snd_pcm_hw_params_set_period_size_near(pcm, hw, &period, nullptr)) < 0 ||
        (result = snd_pcm_hw_params_set_buffer_size_near(pcm, hw, &buffer)) < 0 ||
        (result = snd_pcm_hw_params(pcm, hw)) < 0 || (result = snd_pcm_start(pcm)) < 0) {
        *error = alsaError("the audio input will not record mono 16-bit sound", result);
        snd_pcm_close(pcm);
        return false;
    }
    pcm_ = pcm;
    rate_ = rate;
    stop_ = false;
    thread_ = std::thread([this, heard = std::move(heard), failed = std::move(failed), d = std::move(decoder)] {
        run(*d, heard, failed);
    });
    return true;
}

void LtcReader::stop()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    if (pcm_)
        snd_pcm_close(pcmOf(pcm_));
    pcm_ = nullptr;
}

void LtcReader::run(LtcDecoder& decoder, const Heard& heard, const Failed& failed)
{
    snd_pcm_t* pcm = pcmOf(pcm_);
    std::vector<int16_t> samples(kPeriod);
    int64_t read = 0;   // samples read so far
    while (!stop_) {
        // Waits at most a little, so that stop is quick.
        if (snd_pcm_wait(pcm, 100) == 0)
            continue;
        snd_pcm_sframes_t n = snd_pcm_readi(pcm, samples.data(), kPeriod);
        const Clock::time_point now = Clock::now();
        if (n == -EAGAIN)
            continue;
        if (n < 0)
            n = snd_pcm_recover(pcm, int(n), 1) < 0 ? n : 0;
        if (n < 0) {
            failed(alsaError("the audio input stopped", int(n)));
            break;
        }
        decoder.write(samples.data(), size_t(n), read);
        read += n;
        // What was read last is as old as what still waits in the device's buffer.
        snd_pcm_sframes_t waiting = 0;
        if (snd_pcm_delay(pcm, &waiting) < 0)
            waiting = 0;
        LtcDecoder::Frame frame;
        while (decoder.read(frame)) {
            const double length = double(frame.end - frame.start + 1);
            const TimecodeRate rate = rateOf(length, rate_, frame.dropFrame);
            const int64_t label =
                TimecodeTime{frame.hours % 24, frame.minutes % 60, frame.seconds % 60, frame.frames % 30}.frameCount(rate);
            const int direction = frame.reverse ? -1 : 1;
            // Forward, the frame ends where the next begins; backward, where it began.
            const int64_t quarters = TimecodeTime::wrapped(label + (direction > 0 ? 1 : 0), rate) * 4;
            const double ago = double(read + waiting - frame.end) / rate_;
            heard({quarters, rate, direction,
                   now - std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(ago))});
        }
    }
}

}  // namespace tavrelia
