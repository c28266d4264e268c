#pragma once

// A show played for as long as you like in simulated time: a 256-scene show with
// per-channel rates and both automats running, its sequencer, show clock and automat
// timers fired on a simulated clock between output ticks, as the window's event loop
// fires them between the ticks of the output thread. What the timers and the tick
// count by themselves is compared, at the end, with what the elapsed time predicts;
// the resident memory is taken after a warm-up and at the end.
// Used by bench/soak (a day, 1,728,000 ticks) and by a shortened test.

#include <unistd.h>

#include <QObject>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "console.h"

namespace tavrelia::soak {

constexpr int kTickMs = 50;
constexpr long long kTicksPerDay = 24LL * 3600 * 1000 / kTickMs;   // 1,728,000
// What the resident memory may gain after the warm-up: the allocator's own keeping.
constexpr long kRssSlackKb = 256;

inline long residentKb()
{
    long pages = 0;
    long resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

struct Result {
    long long ticks = 0;
    long long advances = 0, predictedAdvances = 0;
    int scene = 0, predictedScene = 0;
    int clock[3] = {}, predictedClock[3] = {};
    long long automatSteps[2] = {}, predictedAutomatSteps[2] = {};
    long rssAfterWarmUpKb = 0, rssAtEndKb = 0;

    bool memoryKept() const { return rssAtEndKb - rssAfterWarmUpKb <= kRssSlackKb; }
    bool countsAsPredicted() const
    {
        return advances == predictedAdvances && scene == predictedScene &&
               std::equal(clock, clock + 3, predictedClock) &&
               std::equal(automatSteps, automatSteps + 2, predictedAutomatSteps);
    }
    void print(std::FILE* out) const
    {
        std::fprintf(out,
                     "ticks %lld (%.2f h)\n"
                     "scene changes %lld, predicted %lld; current scene %d, predicted %d\n"
                     "show clock %02d:%02d:%02d, predicted %02d:%02d:%02d\n"
                     "automat steps %lld and %lld, predicted %lld and %lld\n"
                     "resident memory after warm-up %ld kB, at the end %ld kB (%+ld kB)\n",
                     ticks, ticks * kTickMs / 3.6e6, advances, predictedAdvances, scene,
                     predictedScene, clock[0], clock[1], clock[2], predictedClock[0],
                     predictedClock[1], predictedClock[2], automatSteps[0], automatSteps[1],
                     predictedAutomatSteps[0], predictedAutomatSteps[1], rssAfterWarmUpKb,
                     rssAtEndKb, rssAtEndKb - rssAfterWarmUpKb);
    }
};

class ShowSoak {
public:
    static constexpr int kTempo = 13;   // 169 ms a scene: not a whole number of ticks
    static constexpr int kLastScene = 255;

    explicit ShowSoak(Console& console) : console_(console)
    {
        prepareShow();
        Sequencer& sequencer = console_.sequencer;
        QObject::connect(&sequencer, &Sequencer::advanced, [this] { ++advances_; });
        for (int i = 0; i < 2; ++i) {
            QObject::connect(&automat(i), &Automat::ticked,
                             [this, i](bool stepped) { automatSteps_[i] += stepped; });
        }
        sequencer.TempStatus();
        sequencer.playFromFirstScene();
        // The window's timers, due at whole multiples of their periods from the start.
        timers_ = {
            {sequencer.period(), [&sequencer] { sequencer.TimerSeqveserTimer(); }},
            {1000, [&sequencer] { sequencer.clockTick(); }},
            {automat(0).period(), [this] { automat(0).TimerTempAvtomatTimer(); }},
            {automat(1).period(), [this] { automat(1).TimerTempAvtomatTimer(); }},
        };
    }

    Result run(long long ticks)
    {
        const long long warmUp = std::min<long long>(ticks / 100, 2000);
        Result result;
        result.ticks = ticks;
        for (long long tick = 1; tick <= ticks; ++tick) {
            const long long nowMs = tick * kTickMs;
            for (SimulatedTimer& timer : timers_) {
                while (timer.nextMs <= nowMs) {
                    timer.fire();
                    timer.nextMs += timer.periodMs;
                }
            }
            console_.output.OutputTick();
            if (tick == warmUp)
                result.rssAfterWarmUpKb = residentKb();
        }
        result.rssAtEndKb = residentKb();

        const long long elapsedMs = ticks * kTickMs;
        result.advances = advances_;
        result.predictedAdvances = elapsedMs / console_.sequencer.period();
        result.scene = console_.image.currentScene();
        result.predictedScene = static_cast<int>(result.predictedAdvances % (kLastScene + 1));
        const Sequencer& sequencer = console_.sequencer;
        const int clock[3] = {sequencer.clockHours(), sequencer.clockMinutes(), sequencer.clockSeconds()};
        const long long seconds = elapsedMs / 1000;
        const int predictedClock[3] = {static_cast<int>(seconds / 3600 % 24),
                                       static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60)};
        std::copy(clock, clock + 3, result.clock);
        std::copy(predictedClock, predictedClock + 3, result.predictedClock);
        for (int i = 0; i < 2; ++i) {
            result.automatSteps[i] = automatSteps_[i];
            result.predictedAutomatSteps[i] = elapsedMs / automat(i).period();
        }
        return result;
    }

private:
    struct SimulatedTimer {
        SimulatedTimer(int period, std::function<void()> onTimeout)
            : periodMs(period), nextMs(period), fire(std::move(onTimeout))
        {
        }
        int periodMs;
        long long nextMs;
        std::function<void()> fire;
    };

    Automat& automat(int i) { return console_.automats[i + 1]; }

    // Every scene different, rates from 1 to 255, automat 1 on its own from channel
    // 11 and automat 2 with the show from channel 201, fading channel by channel.
    void prepareShow()
    {
        {
            auto guard = console_.lock();
            ShowImage& image = console_.image;
            image.resetToNewShow();
            for (int scene = 0; scene <= kLastScene; ++scene) {
                for (int channel = 1; channel < 256; ++channel)
                    image.DataWrite(static_cast<uint8_t>(scene), static_cast<uint8_t>(channel), scene * 7 + channel);
            }
            for (int channel = 1; channel < 256; ++channel)
                image[ShowImage::rateAddress(channel)] = static_cast<uint8_t>(channel);
            image[ShowImage::kLastScene] = kLastScene;
            image[ShowImage::kSceneTempo] = kTempo;
            console_.controls.transitionMode = OutputEngine::Fadera;
        }
        const int speeds[2] = {7, 11};   // steps of 49 and 121 ms
        const int channels[2] = {10, 200};
        for (int i = 0; i < 2; ++i) {
            automat(i).setSpeed(speeds[i]);
            automat(i).TempAvtomatStatus();
            automat(i).setChannel(channels[i]);
            automat(i).setMode(i + 2);
            automat(i).setProgram(i + 2);
        }
        automat(0).setRunAlone(true);
        automat(1).setWithShow(true);
    }

    Console& console_;
    std::vector<SimulatedTimer> timers_;
    long long advances_ = 0;
    long long automatSteps_[2] = {};
};

}  // namespace tavrelia::soak
