#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <random>

#include "console_lock.h"
#include "output/dmx_frame.h"

namespace tavrelia {

// The per-device tables of the 3D view, slot 0..255. The placement tables (type,
// position, and direction and width of PAR cans) are set by the operator; the output
// tick derives colour, intensity and, for devices 1..18, direction and width from
// each finished frame.
struct DeviceTables {
    using Table = std::array<uint8_t, 256>;

    Table DevType{};
    Table DevX{};
    Table DevY{};
    Table DevZ{};
    Table DevPan{};
    Table DevTilt{};
    Table DevRed{};
    Table DevGreen{};
    Table DevBlue{};
    Table DevIntensity{};
    Table DevWidth{};
};

// What the 3D viewer draws. Both writers (the tick on the output thread, the placement
// controls on the user-interface thread) hold the console lock; the viewer copies the
// tables under it once per frame and draws from its copy, so no GL work ever holds
// the lock.
struct DeviceFeed : DeviceTables {
    static constexpr int kDevices = 34;

    // Set after every fill (output thread); the viewer clears it when it draws (user-
    // interface thread).
    std::atomic<bool> RedrawRequest{false};
    // 0 or 255, toggled every 300 ms by the output tick's own clock.
    uint8_t StrobePhase = 0;

    // User-interface thread, console lock held: one frame's copy of the tables.
    DeviceTables snapshot() const { return *this; }

    // Output thread: fills devices 1..34 from frame. random supplies the colours of a
    // wheel at its random positions.
    void fill(const DmxFrame& frame, std::minstd_rand& random, const ConsoleLock::Guard& held);

    // Helpers of fill, exposed for their tables.
    struct Rgb {
        uint8_t red, green, blue;
    };
    static Rgb colourWheel(uint8_t value, std::minstd_rand& random);
    static uint8_t strobe(uint8_t value, uint8_t phase);
    static Rgb fixedColour(int device);   // devices 19..34
};

}  // namespace tavrelia
