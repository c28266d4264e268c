#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "audio/beat_finder.h"

namespace tavrelia {

// Finds the beat in a stream of sound: an onset detection function (aubio's spectral
// flux, on the low band where kick, snare and bass speak and hats hardly do), its
// peaks as onsets, and a grid of beats judged against them.
//
// A grid is judged by how much of the onsets' weight falls on its beats and how many
// of its beats have an onset: a tempo doubled leaves every other beat empty, a tempo
// halved leaves every other onset off the grid, so the true tempo scores best. The
// grid in force is refitted on the onsets it explains (recent ones count more), and
// another replaces it only when it scores clearly better twice running. Without an
// onset on the grid for 16 beats the grid is dropped and the search begins afresh on
// what is heard after.
//
// Thread: any one thread at a time (the capture thread, or a test).
class BeatTracker : public BeatFinder {
public:
    explicit BeatTracker(int rate);
    ~BeatTracker() override;
    BeatTracker(const BeatTracker&) = delete;
    BeatTracker& operator=(const BeatTracker&) = delete;

    void feed(const float* samples, size_t frames, int channels) override;
    double time() const override { return double(fed_) / rate_; }
    const Grid& grid() const override { return grid_; }
    uint64_t generation() const override { return generation_; }

private:
    struct Onset {
        double at;
        double strength;
    };
    struct Fit {
        double origin = 0;
        double period = 0;
        double score = 0;
        double heard = 0;
    };
    void frame();
    void peak();
    void evaluate();
    double reference();
    std::optional<double> firstLoud(double ref) const;
    Fit judge(double origin, double period, double ref) const;
    Fit refit(const Fit& fit, double ref, int64_t* count) const;
    Fit search(double ref) const;
    bool same(const Fit& a, const Fit& b) const;

    int rate_;
    size_t hop_;
    size_t win_;
    struct Aubio;
    std::unique_ptr<Aubio> aubio_;
    size_t lowBins_ = 0;
    size_t filled_ = 0;
    uint64_t fed_ = 0;
    uint64_t frames_ = 0;
    std::vector<double> odf_;   // the detection function, a ring of the last second
    double odfSum_ = 0;
    double ref_ = 0;            // the loud onsets' strength
    double lastPeak_ = 0;
    double lastPeakFrame_ = 0;
    std::deque<Onset> onsets_;
    double since_ = 0;          // onsets before this are not looked at (a loss)
    double nextEvaluation_ = 0;
    Grid grid_;
    std::optional<Fit> rival_;  // a better grid seen once
    uint64_t generation_ = 0;
};

}  // namespace tavrelia
