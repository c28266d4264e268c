#include "view3d/stage_device.h"

#include <algorithm>

namespace tavrelia {

namespace {
constexpr float kNoLight = 0.01f;   // the alpha of a beam with no colour or no intensity
}

StageDevice StageDevice::of(const DeviceTables& t, int slot)
{
    StageDevice d;
    const uint8_t type = t.DevType[slot];
    if (type == 0)
        return d;
    static constexpr Kind kKinds[] = {Kind::None, Kind::Head, Kind::Scanner, Kind::Par};
    d.kind = type <= 3 ? kKinds[type] : Kind::Unknown;
    d.x = coordinate(t.DevX[slot]);
    d.y = coordinate(t.DevY[slot]);
    d.z = coordinate(t.DevZ[slot]);
    // At tilt 127 a head or scanner points straight up, a PAR 20 degrees above level.
    d.pan = 2.0f * (t.DevPan[slot] - 127);
    d.tilt = t.DevTilt[slot] - 127 - (d.kind == Kind::Par ? 20 : 90);

    const uint8_t red = t.DevRed[slot], green = t.DevGreen[slot], blue = t.DevBlue[slot];
    const float alpha =
        static_cast<float>(std::max({red, green, blue}) * t.DevIntensity[slot]) / 131072.0f + kNoLight;
    d.beam = alpha > kNoLight;
    d.beamColour = {red / 48.0f, green / 48.0f, blue / 48.0f, alpha};
    d.beamEndRadius = t.DevWidth[slot] / 50.0f + 0.2f;
    d.beamLength = t.DevWidth[slot] / 100.0f + 5.0f;
    return d;
}

}  // namespace tavrelia
