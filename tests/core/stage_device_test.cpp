#include <gtest/gtest.h>

#include "view3d/stage_device.h"

using tavrelia::DeviceTables;
using tavrelia::StageDevice;

namespace {

DeviceTables one(uint8_t type, uint8_t pan, uint8_t tilt, uint8_t width, uint8_t red, uint8_t green,
                 uint8_t blue, uint8_t intensity)
{
    DeviceTables t;
    t.DevType[9] = type;
    t.DevPan[9] = pan;
    t.DevTilt[9] = tilt;
    t.DevWidth[9] = width;
    t.DevRed[9] = red;
    t.DevGreen[9] = green;
    t.DevBlue[9] = blue;
    t.DevIntensity[9] = intensity;
    return t;
}

TEST(StageDevice, Beam)
{
    struct Case {
        uint8_t width, red, green, blue, intensity;
        bool beam;
        float alpha, endRadius, length;
    };
    const Case cases[] = {
        {0, 255, 0, 0, 255, true, 255.0f * 255 / 131072 + 0.01f, 0.2f, 5.0f},
        {255, 0, 0, 200, 128, true, 200.0f * 128 / 131072 + 0.01f, 5.3f, 7.55f},
        {100, 0, 0, 0, 255, false, 0.01f, 2.2f, 6.0f},   // no colour
        {100, 255, 255, 255, 0, false, 0.01f, 2.2f, 6.0f},   // no intensity
        {100, 1, 0, 0, 1, true, 1.0f / 131072 + 0.01f, 2.2f, 6.0f},   // the faintest light still shows
    };
    for (const Case& c : cases) {
        const StageDevice d = StageDevice::of(one(1, 127, 127, c.width, c.red, c.green, c.blue, c.intensity), 9);
        EXPECT_EQ(d.beam, c.beam) << int(c.red) << " " << int(c.intensity);
        EXPECT_NEAR(d.beamColour[3], c.alpha, 1e-6);
        EXPECT_NEAR(d.beamEndRadius, c.endRadius, 1e-5);
        EXPECT_NEAR(d.beamLength, c.length, 1e-5);
    }
    const StageDevice red = StageDevice::of(one(1, 127, 127, 0, 255, 96, 0, 255), 9);
    EXPECT_NEAR(red.beamColour[0], 5.3125f, 1e-5);   // saturates in the lighting
    EXPECT_NEAR(red.beamColour[1], 2.0f, 1e-5);
    EXPECT_NEAR(red.beamColour[3], 0.506f, 1e-3);
}

TEST(StageDevice, KindsAndTurns)
{
    struct Case {
        uint8_t type, pan, tilt;
        StageDevice::Kind kind;
        bool body, turned;
        float panDegrees, tiltDegrees;
    };
    using K = StageDevice::Kind;
    const Case cases[] = {
        {1, 127, 127, K::Head, true, true, 0, -90},
        {2, 172, 0, K::Scanner, true, true, 90, -217},
        {3, 172, 127, K::Par, false, true, 90, -20},
        {3, 0, 255, K::Par, false, true, -254, 108},
        {4, 127, 127, K::Unknown, false, false, 0, 0},
        {0, 127, 127, K::None, false, true, 0, 0},
    };
    for (const Case& c : cases) {
        const StageDevice d = StageDevice::of(one(c.type, c.pan, c.tilt, 0, 0, 0, 0, 0), 9);
        EXPECT_EQ(d.kind, c.kind) << int(c.type);
        EXPECT_EQ(d.hasBody(), c.body) << int(c.type);
        EXPECT_EQ(d.turned(), c.turned) << int(c.type);
        if (c.turned && c.kind != K::None) {
            EXPECT_FLOAT_EQ(d.pan, c.panDegrees) << int(c.type);
            EXPECT_FLOAT_EQ(d.tilt, c.tiltDegrees) << int(c.type);
        }
    }
    EXPECT_FLOAT_EQ(StageDevice::coordinate(127), 0.0f);
    EXPECT_FLOAT_EQ(StageDevice::coordinate(0), -1.0f);
    EXPECT_NEAR(StageDevice::coordinate(255), 1.008f, 1e-3);
}

}  // namespace
