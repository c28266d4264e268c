// The sound input's capture thread, in the sound module with the beat tracker: ALSA and
// aubio are mapped only once a sound input starts.

#include <alsa/asoundlib.h>

#include <cmath>
#include <memory>
#include <vector>

#include "audio/audio_input.h"
#include "audio/beat_finder_loader.h"

namespace tavrelia {

namespace {
constexpr unsigned kRate = 48000;
constexpr unsigned kPeriodUs = 10000;
constexpr unsigned kBufferUs = 100000;
constexpr int kWaitMs = 100;
// The level is posted this often; a beat found at once.
constexpr auto kLevelEvery = std::chrono::milliseconds(50);
// A late wake-up makes a read look older than it is: the tie to the clock follows the
// earliest reads, and creeps towards later ones only this much a read (for the
// device's clock drifting against ours).
constexpr double kCreep = 0.005;

using Pcm = std::unique_ptr<snd_pcm_t, decltype(&snd_pcm_close)>;

QString alsaError(const char* what, int err)
{
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what), QString::fromLocal8Bit(snd_strerror(err)));
}

// 16-bit interleaved at the rate nearest 48 kHz, mono where the device allows.
int configure(snd_pcm_t* pcm, unsigned& rate, unsigned& channels, snd_pcm_uframes_t& period, QString& why)
{
    snd_pcm_hw_params_t* hw = nullptr;
    snd_pcm_hw_params_alloca(&hw);
    unsigned periodUs = kPeriodUs, bufferUs = kBufferUs;
    rate = kRate;
    channels = 1;
    int err = 0;
    const auto step = [&](const char* what, int result) {
        if (err >= 0 && result < 0) {
            err = result;
            why = alsaError(what, result);
        }
    };
    step("hardware parameters", snd_pcm_hw_params_any(pcm, hw));
    step("access", snd_pcm_hw_params_set_access(pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED));
    step("format", snd_pcm_hw_params_set_format(pcm, hw, SND_PCM_FORMAT_S16));
    step("channels", snd_pcm_hw_params_set_channels_near(pcm, hw, &channels));
    step("rate", snd_pcm_hw_params_set_rate_near(pcm, hw, &rate, nullptr));
    step("buffer", snd_pcm_hw_params_set_buffer_time_near(pcm, hw, &bufferUs, nullptr));
    step("period", snd_pcm_hw_params_set_period_time_near(pcm, hw, &periodUs, nullptr));
    step("setting parameters", snd_pcm_hw_params(pcm, hw));
    step("period size", snd_pcm_hw_params_get_period_size(hw, &period, nullptr));
    return err;
}
}  // namespace


// The capture thread: open, read a period at a time, feed the tracker, post.
void AudioInput::capture(QByteArray device, unsigned session)
{
    snd_pcm_t* raw = nullptr;
    if (const int err = snd_pcm_open(&raw, device.constData(), SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK); err < 0)
        return fail(session, alsaError(device.constData(), err));
    const Pcm pcm(raw, &snd_pcm_close);
    unsigned rate = 0, channels = 0;
    snd_pcm_uframes_t period = 0;
    QString why;
    if (configure(pcm.get(), rate, channels, period, why) < 0)
        return fail(session, why);
    if (const int err = snd_pcm_start(pcm.get()); err < 0)
        return fail(session, alsaError("start", err));
    std::string errors;
    const std::unique_ptr<BeatFinder> finder = makeBeatFinder(int(rate), errors);
    if (!finder)
        return fail(session, QStringLiteral("the beat tracker cannot be loaded: %1").arg(QString::fromLocal8Bit(errors.c_str()).trimmed()));
    BeatFinder& tracker = *finder;
    opened(session, int(rate), int(channels));

    std::vector<int16_t> samples(period * channels);
    std::vector<float> floats(samples.size());
    uint64_t read = 0, generation = 0;
    quint64 overruns = 0;
    double epoch = 0;   // seconds of steady_clock
    bool tied = false;
    double squares = 0;
    uint64_t squared = 0;
    auto lastPost = Clock::now();
    while (!stopping_) {
        const int ready = snd_pcm_wait(pcm.get(), kWaitMs);
        if (ready == 0)
            continue;
        snd_pcm_sframes_t got = ready < 0 ? ready : snd_pcm_readi(pcm.get(), samples.data(), period);
        if (got == -EAGAIN)
            continue;
        if (got < 0) {
            // An overrun loses samples: the stream's tie to the clock is made afresh.
            if (const int err = snd_pcm_recover(pcm.get(), int(got), 1); err < 0)
                return fail(session, alsaError("read", err));
            snd_pcm_start(pcm.get());
            ++overruns;
            tied = false;
            continue;
        }
        snd_pcm_sframes_t delay = 0;
        if (snd_pcm_delay(pcm.get(), &delay) < 0)
            delay = 0;
        const double now = std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
        read += uint64_t(got);
        const double heard = now - double(read + uint64_t(std::max<snd_pcm_sframes_t>(delay, 0))) / rate;
        epoch = !tied || heard < epoch ? heard : epoch + (heard - epoch) * kCreep;
        tied = true;

        for (size_t i = 0; i < size_t(got) * channels; ++i) {
            floats[i] = float(samples[i]) / 32768.0f;
            squares += double(floats[i]) * floats[i];
        }
        squared += uint64_t(got) * channels;
        tracker.feed(floats.data(), size_t(got), int(channels));

        const bool refitted = std::exchange(generation, tracker.generation()) != tracker.generation();
        const auto at = Clock::now();
        if (!refitted && at - lastPost < kLevelEvery)
            continue;
        const double rms = std::sqrt(squares / double(std::max<uint64_t>(squared, 1)));
        post(session, {tracker.grid(),
                       Clock::time_point(std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(epoch))),
                       rms > 1e-5 ? 20 * std::log10(rms) : -100.0, overruns, refitted});
        if (at - lastPost >= kLevelEvery) {
            squares = 0;
            squared = 0;
            lastPost = at;
        }
    }
}

}  // namespace tavrelia

extern "C" __attribute__((visibility("default"))) void tavreliaCaptureSound(tavrelia::AudioInput& input,
                                                                            QByteArray device, unsigned session)
{
    input.capture(std::move(device), session);
}
