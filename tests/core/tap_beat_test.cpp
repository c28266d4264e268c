#include <gtest/gtest.h>

#include <vector>

#include "playback/tap_beat.h"

using tavrelia::TapBeat;
using namespace std::chrono_literals;

namespace {

// Taps on a grid of 500 ms, a little early or late, or after a pause: each is the
// beat of the grid nearest to it, never an extra one, and the beats go on from it.
TEST(TapBeat, ATapIsTheNearestBeatOfTheGrid)
{
    const struct Case {
        const char* name;
        std::vector<int> taps;   // ms
        int64_t lastCount;       // the last tap's beat
    } cases[] = {
        {"on the grid", {0, 500, 1000, 1500}, 3},
        {"late", {0, 500, 1000, 1540}, 3},
        {"early", {0, 500, 1000, 1460}, 3},
        {"after three beats without a tap", {0, 500, 1000, 3000}, 6},
        {"twice at once", {0, 500, 1000, 1010}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TapBeat taps;
        const TapBeat::Clock::time_point zero{};
        for (size_t i = 0; i < c.taps.size(); ++i)
            taps.tap(zero + std::chrono::milliseconds(c.taps[i]), i == 0 ? std::nullopt : std::optional<int>(500));
        const auto last = zero + std::chrono::milliseconds(c.taps.back());
        const auto now = taps.nextBeat(last - 1ms, 4);
        ASSERT_TRUE(now);
        EXPECT_EQ(now->count, c.lastCount);
        EXPECT_EQ(now->at, last);
        const auto next = taps.nextBeat(last, 4);
        ASSERT_TRUE(next);
        EXPECT_EQ(next->count, c.lastCount + 1);
        EXPECT_EQ(next->at, last + 500ms);
        EXPECT_DOUBLE_EQ(taps.bpm(), 120.0);
    }
}

}  // namespace
