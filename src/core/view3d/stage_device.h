#pragma once

#include <array>
#include <cstdint>

#include "output/device_feed.h"

namespace tavrelia {

// How one device slot appears on the 3D stage: where it stands, how it is turned and
// the cone of light it throws. Pure geometry, so the drawing code only issues calls.
struct StageDevice {
    enum class Kind { None, Head, Scanner, Par, Unknown };

    Kind kind = Kind::None;
    float x = 0, y = 0, z = 0;   // stage coordinates, -1..+1.008
    float pan = 0, tilt = 0;     // degrees about Y, then about X
    bool beam = false;
    std::array<float, 4> beamColour{};   // components above 1 saturate in the lighting
    float beamEndRadius = 0;
    float beamLength = 0;

    static StageDevice of(const DeviceTables& tables, int slot);
    // A byte on an axis: 127 is the centre, 0..255 spans -1..+1.008.
    static float coordinate(uint8_t v) { return (v - 127) / 127.0f; }
    bool hasBody() const { return kind == Kind::Head || kind == Kind::Scanner; }
    bool turned() const { return kind != Kind::Unknown; }
};

}  // namespace tavrelia
