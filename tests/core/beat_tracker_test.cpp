#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "audio/beat_tracker.h"
#include "drum_track.h"

namespace tavrelia {
namespace {

using bench::DrumTrack;

struct Case {
    const char* name;
    DrumTrack track;
};

// Each track fed 10 ms at a time, as a capture would; a scene change fires at the
// beat the grid predicts just before that beat, as the sequencer's timer would.
TEST(BeatTracker, LocksOnTheTrueTempoAndPredictsTheBeats)
{
    const Case cases[] = {
        {"75 mono 44.1", {.bpm = 75, .rate = 44100}},
        {"100 stereo 48", {.bpm = 100, .channels = 2}},
        {"120 noisy", {.bpm = 120, .noise = 0.15}},
        {"128 stereo 44.1", {.bpm = 128, .rate = 44100, .channels = 2}},
        {"174", {.bpm = 174}},
        {"ramp 120 to 128", {.bpm = 120, .endBpm = 128, .seconds = 40}},
        {"4 s break", {.bpm = 128, .breakAt = 14, .breakFor = 4}},
        {"long break, quieter after", {.bpm = 140, .seconds = 40, .breakAt = 12, .breakFor = 14, .after = 0.4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DrumTrack& track = c.track;
        const std::vector<float> samples = track.samples();
        const std::vector<double> truth = track.beats();
        BeatTracker tracker(track.rate);
        const size_t chunk = track.rate / 100;
        double lockAt = -1, lastFired = -1, lostAt = -1, backAt = -1;
        int fired = 0, onBeat = 0, wrongTempo = 0;
        for (size_t at = 0; at + chunk <= samples.size() / track.channels; at += chunk) {
            tracker.feed(samples.data() + at * track.channels, chunk, track.channels);
            const double now = tracker.time();
            const BeatFinder::Grid& grid = tracker.grid();
            const bool pastBreak = track.breakFor > 0 && now >= track.breakAt + track.breakFor;
            if (!grid.valid()) {
                if (lockAt >= 0 && lostAt < 0)
                    lostAt = now;
                continue;
            }
            if (lockAt < 0)
                lockAt = now;
            if (lostAt >= 0 && backAt < 0 && pastBreak)
                backAt = now;
            if (now > lockAt + 1 && std::abs(grid.bpm() - track.tempoAt(now)) > 1)
                ++wrongTempo;
            const double next = grid.next(std::max(now, lastFired + grid.period / 2)).second;
            if (next >= now + 0.01)
                continue;
            lastFired = next;
            ++fired;
            const double nearest = *std::min_element(truth.begin(), truth.end(), [next](double a, double b) {
                return std::abs(a - next) < std::abs(b - next);
            });
            onBeat += std::abs(nearest - next) <= 0.025;
        }
        EXPECT_GE(lockAt, 0);
        EXPECT_LE(lockAt, 8);
        EXPECT_EQ(wrongTempo, 0) << "bpm " << tracker.grid().bpm();
        EXPECT_GE(onBeat, 0.9 * fired) << onBeat << " of " << fired;
        if (track.breakFor * track.bpm / 60 > BeatTracker::kKeptBeats + 2) {
            // Held after 16 beats of the break, and back within 4 s of the drums.
            EXPECT_GE(lostAt, track.breakAt + (BeatTracker::kKeptBeats - 1) * 60 / track.bpm);
            EXPECT_LE(lostAt, track.breakAt + track.breakFor);
            EXPECT_GE(backAt, 0);
            EXPECT_LE(backAt, track.breakAt + track.breakFor + 4);
        } else {
            EXPECT_LT(lostAt, 0) << "lost at " << lostAt;
        }
    }
}

}  // namespace
}  // namespace tavrelia
