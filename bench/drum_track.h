#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace tavrelia::bench {

// A drum track made up here, with its true beats: kick on the odd beats, snare on
// the even ones, hats on every eighth, a pad under it all and noise over it. The tempo
// may ramp linearly in time; a break silences the drums (the pad plays on), and they
// may come back quieter.
struct DrumTrack {
    double bpm = 120;
    double endBpm = 0;         // the tempo at the end of a ramp; 0: steady
    double seconds = 30;
    int rate = 48000;
    int channels = 1;
    double breakAt = 0;        // seconds; 0: no break
    double breakFor = 0;
    double noise = 0.02;       // the noise's peak, of full scale
    double after = 1;          // the drums' gain after the break

    double tempoAt(double t) const { return endBpm > 0 ? bpm + (endBpm - bpm) * t / seconds : bpm; }
    bool inBreak(double t) const { return breakFor > 0 && t >= breakAt && t < breakAt + breakFor; }

    // Every beat's time, the break's included.
    std::vector<double> beats() const
    {
        std::vector<double> at;
        for (double t = 0.25; t < seconds; t += 60.0 / tempoAt(t))
            at.push_back(t);
        return at;
    }

    // Interleaved samples.
    std::vector<float> samples() const
    {
        const auto frames = static_cast<size_t>(seconds * rate);
        std::vector<float> mono(frames);
        std::mt19937 random(7);
        std::uniform_real_distribution<float> white(-1, 1);
        const auto add = [&](double at, double length, auto voice) {
            const auto first = static_cast<size_t>(at * rate);
            for (size_t i = first; i < std::min(frames, first + static_cast<size_t>(length * rate)); ++i)
                mono[i] += voice(double(i - first) / rate);
        };
        const std::vector<double> beats = this->beats();
        for (size_t b = 0; b < beats.size(); ++b) {
            const double t = beats[b];
            const double half = 30.0 / tempoAt(t);
            if (inBreak(t))
                continue;
            const double gain = breakFor > 0 && t >= breakAt + breakFor ? after : 1;
            if (b % 2 == 0) {
                add(t, 0.35, [gain](double s) {
                    const double phase = 2 * std::numbers::pi * (45 * s + 75 * 0.04 * (1 - std::exp(-s / 0.04)));
                    return float(gain * 0.8 * std::exp(-s / 0.12) * std::sin(phase));
                });
            } else {
                add(t, 0.25, [&](double s) {
                    return float(gain * (std::exp(-s / 0.06) * (0.35 * std::sin(2 * std::numbers::pi * 190 * s)) +
                                         0.25 * std::exp(-s / 0.08) * white(random)));
                });
            }
            for (double hat : {t, t + half}) {
                float last = 0;
                add(hat, 0.06, [&](double s) {
                    const float now = white(random);
                    const float high = now - last;
                    last = now;
                    return float(gain * 0.12 * std::exp(-s / 0.02) * high);
                });
            }
        }
        for (size_t i = 0; i < frames; ++i) {
            const double s = double(i) / rate;
            mono[i] += float(0.1 * std::sin(2 * std::numbers::pi * 110 * s) + 0.07 * std::sin(2 * std::numbers::pi * 165 * s) +
                             noise * white(random));
        }
        std::vector<float> out(frames * channels);
        for (size_t i = 0; i < frames; ++i) {
            for (int c = 0; c < channels; ++c)
                out[i * channels + c] = mono[i] * (c == 0 ? 1.0f : 0.8f);
        }
        return out;
    }
};

}  // namespace tavrelia::bench
