#include "audio/beat_tracker.h"

#include <aubio/aubio.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace tavrelia {

namespace {
constexpr double kMinBpm = 70;
constexpr double kMaxBpm = 180;
// Candidate tempi are this ratio apart; the phase drifts by less than a tolerance
// over the window between two of them.
constexpr double kStep = 1.004;
// The onsets looked at, and how fast older ones count less in a refit.
constexpr double kWindow = 8;
constexpr double kRecent = 3;
constexpr double kEvery = 0.25;
// A first lock needs this much heard and this score.
constexpr double kFirstSpan = 2;
constexpr double kLockScore = 0.25;
// Flux above this is sound; below it, silence whatever its peaks.
constexpr double kSilentFlux = 0.05;
// Onsets closer than this are one.
constexpr double kMinGap = 0.06;
// A loud onset masks what follows it for a while: a kick's falling pitch moves its
// energy across the bins and would flux again.
constexpr double kMasking = 0.15;
// Weaker onsets than this share of the loud ones do not count as the beat heard.
constexpr double kHeardShare = 0.3;
// How fast the loud onsets' strength is forgotten.
constexpr double kLoudFades = 30;

double tolerance(double period)
{
    return std::min(0.05, 0.12 * period);
}
}  // namespace

struct BeatTracker::Aubio {
    aubio_pvoc_t* pvoc;
    aubio_specdesc_t* flux;
    fvec_t* in;
    fvec_t* out;
    cvec_t* grain;
    Aubio(size_t win, size_t hop)
        : pvoc(new_aubio_pvoc(uint_t(win), uint_t(hop))),
          flux(new_aubio_specdesc("specflux", uint_t(win))),
          in(new_fvec(uint_t(hop))),
          out(new_fvec(1)),
          grain(new_cvec(uint_t(win)))
    {
    }
    ~Aubio()
    {
        del_cvec(grain);
        del_fvec(out);
        del_fvec(in);
        del_aubio_specdesc(flux);
        del_aubio_pvoc(pvoc);
    }
};

BeatTracker::BeatTracker(int rate)
    : rate_(rate), hop_(rate >= 32000 ? 256 : 128), win_(4 * hop_), aubio_(std::make_unique<Aubio>(win_, hop_))
{
    lowBins_ = std::min(win_ / 2 + 1, size_t(2000.0 * double(win_) / rate_));
    odf_.assign(size_t(rate_) / hop_, 0.0);
}

BeatTracker::~BeatTracker() = default;

void BeatTracker::feed(const float* samples, size_t frames, int channels)
{
    fvec_t* in = aubio_->in;
    for (size_t i = 0; i < frames; ++i) {
        float sum = 0;
        for (int c = 0; c < channels; ++c)
            sum += *samples++;
        in->data[filled_++] = sum / float(channels);
        ++fed_;
        if (filled_ == hop_) {
            filled_ = 0;
            frame();
        }
    }
}

void BeatTracker::frame()
{
    aubio_pvoc_do(aubio_->pvoc, aubio_->in, aubio_->grain);
    // Above the low band: hats and cymbals would be onsets as strong as the beat.
    std::fill(aubio_->grain->norm + lowBins_, aubio_->grain->norm + aubio_->grain->length, smpl_t(0));
    aubio_specdesc_do(aubio_->flux, aubio_->grain, aubio_->out);
    double& slot = odf_[frames_ % odf_.size()];
    odfSum_ += aubio_->out->data[0] - slot;
    slot = aubio_->out->data[0];
    ++frames_;
    peak();
    if (time() >= nextEvaluation_) {
        nextEvaluation_ = time() + kEvery;
        evaluate();
    }
}

// A peak two frames back, higher than its two neighbours each side and clearly above
// the last second's mean.
void BeatTracker::peak()
{
    if (frames_ < 5)
        return;
    const uint64_t c = frames_ - 3;
    const auto at = [this](uint64_t f) { return odf_[f % odf_.size()]; };
    const double mean = odfSum_ / double(odf_.size());
    const double top = at(c);
    if (top <= at(c - 1) || top <= at(c - 2) || top < at(c + 1) || top < at(c + 2))
        return;
    if (top < kSilentFlux || top < 1.5 * mean)
        return;
    const double sinceLast = (double(c) - lastPeakFrame_) * double(hop_) / rate_;
    if (top < lastPeak_ * std::exp(-sinceLast / kMasking))
        return;
    lastPeak_ = top;
    lastPeakFrame_ = double(c);
    const double left = at(c - 1), right = at(c + 1);
    const double curve = left - 2 * top + right;
    const double shift = curve < 0 ? std::clamp(0.5 * (left - right) / curve, -0.5, 0.5) : 0.0;
    // The flux is at its height when the attack reaches the window's centre.
    const double end = (double(c) + 1 + shift) * double(hop_);
    const Onset onset{(end - double(win_) / 2) / rate_, top - mean};
    if (!onsets_.empty() && onset.at - onsets_.back().at < kMinGap) {
        if (onset.strength > onsets_.back().strength)
            onsets_.back() = onset;
        return;
    }
    onsets_.push_back(onset);
}

// The loud onsets' strength: the ninth tenth of them, or what it was lately, fading
// slowly, so that a break's noise is not taken for drums.
double BeatTracker::reference()
{
    ref_ *= std::exp(-kEvery / kLoudFades);
    std::vector<double> strengths;
    strengths.reserve(onsets_.size());
    for (const Onset& onset : onsets_)
        strengths.push_back(onset.strength);
    if (strengths.size() >= 4) {
        const auto ninth = strengths.begin() + std::ptrdiff_t(strengths.size() * 9 / 10);
        std::nth_element(strengths.begin(), ninth, strengths.end());
        ref_ = std::max(ref_, *ninth);
    }
    return ref_;
}

std::optional<double> BeatTracker::firstLoud(double ref) const
{
    const auto loud = std::find_if(onsets_.begin(), onsets_.end(),
                                   [ref](const Onset& onset) { return onset.strength >= kHeardShare * ref; });
    return loud == onsets_.end() ? std::nullopt : std::optional<double>(loud->at);
}

// How well a grid explains the onsets: the share of their weight on its beats, times
// the share of its beats that have one (each beat counted by its loudest).
BeatTracker::Fit BeatTracker::judge(double origin, double period, double ref) const
{
    Fit fit{origin, period, 0, -1};
    if (onsets_.empty() || ref <= 0)
        return fit;
    const double tol = tolerance(period);
    double total = 0, on = 0, beats = 0;
    int64_t beat = INT64_MIN;
    double best = 0;
    for (const Onset& onset : onsets_) {
        // Weak onsets (a pad's ripple, hats) count little off the beat, and their beats
        // a little more.
        const double share = std::min(onset.strength / ref, 1.0);
        const double w = std::sqrt(share);
        total += share * w;
        const double k = std::round((onset.at - origin) / period);
        if (std::abs(onset.at - origin - k * period) > tol)
            continue;
        on += share * w;
        if (onset.strength >= kHeardShare * ref)
            fit.heard = onset.at;
        if (int64_t(k) != beat) {
            beats += best;
            beat = int64_t(k);
            best = 0;
        }
        best = std::max(best, w);
    }
    beats += best;
    // Beats are counted from the first loud onset: noise before it has no beat to miss.
    const std::optional<double> loud = firstLoud(ref);
    if (!loud)
        return fit;
    const double first = std::ceil((*loud - tol - origin) / period);
    const double last = std::floor((time() - 0.05 - origin) / period);
    const double count = last - first + 1;
    if (total <= 0 || count < 1)
        return fit;
    fit.score = on / total * std::min(1.0, beats / count);
    return fit;
}

// The grid fitted to the onsets on it, recent ones counting more: beat number against
// time, a weighted straight line. `count` is the beat nearest now, on the old numbering.
BeatTracker::Fit BeatTracker::refit(const Fit& fit, double ref, int64_t* count) const
{
    const double tol = tolerance(fit.period);
    const double now = time();
    double sw = 0, sk = 0, st = 0, skk = 0, skt = 0;
    int64_t firstBeat = INT64_MAX, lastBeat = INT64_MIN;
    for (const Onset& onset : onsets_) {
        const double k = std::round((onset.at - fit.origin) / fit.period);
        if (std::abs(onset.at - fit.origin - k * fit.period) > tol || onset.strength < kHeardShare * ref)
            continue;
        const double w = std::min(onset.strength / ref, 1.0) * std::exp((onset.at - now) / kRecent);
        sw += w;
        sk += w * k;
        st += w * onset.at;
        skk += w * k * k;
        skt += w * k * onset.at;
        firstBeat = std::min(firstBeat, int64_t(k));
        lastBeat = std::max(lastBeat, int64_t(k));
    }
    if (count)
        *count = int64_t(std::round((now - fit.origin) / fit.period));
    const double det = sw * skk - sk * sk;
    if (lastBeat - firstBeat < 2 || det <= 0)
        return judge(fit.origin, fit.period, ref);
    const double period = (sw * skt - sk * st) / det;
    const double origin = (st - period * sk) / sw;
    if (period < 0.8 * fit.period || period > 1.25 * fit.period)
        return judge(fit.origin, fit.period, ref);
    return judge(origin, period, ref);
}

// Every tempo of the range, each at the phase where its loud onsets gather; the best
// few refitted.
BeatTracker::Fit BeatTracker::search(double ref) const
{
    std::array<Fit, 3> top{};
    for (double period = 60 / kMaxBpm; period <= 60 / kMinBpm; period *= kStep) {
        double x = 0, y = 0;
        for (const Onset& onset : onsets_) {
            const double w = std::min(onset.strength / ref, 1.0);
            const double angle = 2 * std::numbers::pi * onset.at / period;
            x += w * std::cos(angle);
            y += w * std::sin(angle);
        }
        const double origin = std::atan2(y, x) / (2 * std::numbers::pi) * period;
        const Fit fit = judge(origin, period, ref);
        auto worst = std::min_element(top.begin(), top.end(), [](const Fit& a, const Fit& b) { return a.score < b.score; });
        if (fit.score > worst->score)
            *worst = fit;
    }
    Fit best;
    for (const Fit& fit : top) {
        if (fit.period <= 0)
            continue;
        const Fit fitted = refit(fit, ref, nullptr);
        if (fitted.score > best.score)
            best = fitted;
    }
    return best;
}

bool BeatTracker::same(const Fit& a, const Fit& b) const
{
    if (std::abs(a.period - b.period) > 0.02 * a.period)
        return false;
    const double apart = std::remainder(a.origin - b.origin, a.period);
    return std::abs(apart) <= tolerance(a.period);
}

void BeatTracker::evaluate()
{
    const double now = time();
    while (!onsets_.empty() && (onsets_.front().at < now - kWindow || onsets_.front().at < since_))
        onsets_.pop_front();
    const double ref = reference();
    if (ref <= 0 || onsets_.empty())
        return;
    std::optional<Fit> current;
    int64_t count = 0;
    if (grid_.valid()) {
        current = refit({grid_.origin, grid_.period, 0, grid_.heard}, ref, &count);
        current->heard = std::max(current->heard, grid_.heard);
        if (now - current->heard > kKeptBeats * grid_.period) {
            // Held: what comes after the silence is a new beat.
            grid_ = {};
            rival_.reset();
            since_ = now;
            onsets_.clear();
            ++generation_;
            return;
        }
    }
    const Fit best = search(ref);
    const bool better = current ? best.score > current->score * 1.2 + 0.05 && !same(best, *current)
                                : best.score >= kLockScore && now - firstLoud(ref).value_or(now) >= kFirstSpan;
    if (better && rival_ && same(*rival_, best)) {
        // Replaced: the beat nearest now keeps its number.
        Fit taken = best;
        if (current) {
            const double nearest = std::round((now - taken.origin) / taken.period);
            taken.origin += (nearest - double(count)) * taken.period;
        }
        current = taken;
        rival_.reset();
    } else {
        rival_ = better ? std::optional<Fit>(best) : std::nullopt;
    }
    if (!current)
        return;
    grid_ = {current->origin, current->period, current->score, std::max(current->heard, grid_.heard)};
    ++generation_;
}

}  // namespace tavrelia
