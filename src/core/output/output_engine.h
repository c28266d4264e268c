#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <random>

#include "console_lock.h"
#include "output/control_state.h"
#include "output/device_feed.h"
#include "output/dmx_output.h"
#include "playback/play_state.h"
#include "show/show_image.h"

namespace tavrelia {

class FrameWatch;

class AutomatOutput;
class FrameSink;

// The 50 ms output tick: moves the frame towards the current scene, lays the live
// overlays over it, routes it through the recoding table, feeds the 3D view and hands
// the frame to the interface. Everything it reads of the window lives in the
// control state. Between ticks, a live control's change can be sent at once
// (OutputChange). Both can be called directly (tests, benchmarks); in the program
// the output thread calls them.
class OutputEngine {
public:
    enum TransitionMode { Fadera = 0, Avtomat = 1, Vykl = 2 };
    static constexpr int kStrobeTicks = 6;   // 300 ms of 50 ms ticks

    // What the tick reads (the show, the play state, the window's controls) and
    // writes (the output slots and the device feed), and the lock that guards them.
    struct Parts {
        const ShowImage& image;
        const PlayState& play;
        const ControlState& controls;
        DmxOutput& dmx;
        DeviceFeed& feed;
        ConsoleLock& lock;
    };
    explicit OutputEngine(Parts parts);

    // Set under the console lock; null means none.
    void setSink(FrameSink* sink);
    void setAutomats(AutomatOutput* automats);
    // Hears of every tick whose frame differs from the one before.
    void setFrameWatch(FrameWatch* watch);

    // Output thread (or a test, a benchmark in its stead): one whole tick. Takes the
    // lock for assembly and hands the frame over after releasing it.
    void OutputTick();
    // Output thread, between ticks: the live overlays of the moment (and, in the modes
    // that jump, the current scene) over the last tick's frame, handed over when the
    // output differs from the last frame. The fades do not step here.
    void OutputChange();

    // Steps of the tick, on the thread that ticks.
    void SborDmxStroki(const ConsoleLock::Guard& held);
    void ManualDmx(const ConsoleLock::Guard& held);
    void BlankBlackOut(const ConsoleLock::Guard& held);
    // Device feed and the frame to send; false when nothing is to be sent. Also the
    // user-interface thread's last frame once the output thread has stopped.
    bool SendToUsb(const ConsoleLock::Guard& held);
    // The frame SendToUsb took, to write after the lock is let go.
    const DmxFrame& sendFrame() const { return sendFrame_; }

    // Whether SpeedButtonBlackOut is shown: it blinks once per tick during a blackout.
    bool blackOutButtonVisible() const { return blackOutVisible_.load(std::memory_order_relaxed); }

    void seedRandom(unsigned seed) { random_.seed(seed); }

private:
    void stepTowardsTarget(const uint8_t* rates);
    void jumpToScene();
    bool jumps() const;
    // Lets the lock go, then hands the frame over when ready and tells the watch
    // when the output changed.
    void handOver(ConsoleLock::Guard held, bool ready);
    void applyPicture(int picture);
    void applyManualFaders();
    void applyHandScan();
    void recode();

    Parts parts_;
    FrameSink* sink_ = nullptr;
    AutomatOutput* automats_ = nullptr;
    FrameWatch* watch_ = nullptr;
    DmxFrame lastFrame_{};

    // The tick's own scene address: the editors move theirs independently.
    int sceneAddress_;
    std::array<uint8_t, 256> TargetLevels{};
    DmxFrame RecodeScratch{};   // slots 256..512 are never written and stay 0
    DmxFrame sendFrame_{};
    std::minstd_rand random_;
    int strobeCountdown_ = kStrobeTicks;
    std::atomic<bool> blackOutVisible_{true};
};

}  // namespace tavrelia
