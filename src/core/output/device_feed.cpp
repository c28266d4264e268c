#include "output/device_feed.h"

namespace tavrelia {

namespace {
constexpr uint8_t inverted(uint8_t v)
{
    return static_cast<uint8_t>(255 - v);
}
}  // namespace

DeviceFeed::Rgb DeviceFeed::colourWheel(uint8_t value, std::minstd_rand& random)
{
    static constexpr Rgb kWheel[] = {
        {255, 255, 255}, {255, 255, 0}, {0, 255, 0},     {0, 0, 255},     {255, 0, 255},
        {255, 0, 0},     {0, 255, 255}, {127, 127, 255}, {255, 255, 127}, {127, 255, 255},
    };
    if (value <= 200)
        return kWheel[value <= 20 ? 0 : (value - 1) / 20];
    // The wheel's last stretch is a colour scroll: a new colour every tick.
    std::uniform_int_distribution<int> component(0, 254);
    Rgb rgb{};
    rgb.red = static_cast<uint8_t>(component(random));
    rgb.blue = static_cast<uint8_t>(component(random));
    rgb.green = static_cast<uint8_t>(component(random));
    return rgb;
}

uint8_t DeviceFeed::strobe(uint8_t value, uint8_t phase)
{
    if (value <= 10)
        return 0;
    if (value <= 127)
        return static_cast<uint8_t>(2 * value);
    if (value <= 252)
        return phase;
    return 255;
}

DeviceFeed::Rgb DeviceFeed::fixedColour(int device)
{
    static constexpr Rgb kColours[] = {
        {255, 0, 0}, {255, 255, 0}, {0, 255, 0},   {0, 0, 255},
        {0, 255, 255}, {0, 120, 255}, {255, 255, 255}, {127, 255, 127},
    };
    return kColours[(device - 19) % 8];
}

void DeviceFeed::fill(const DmxFrame& f, std::minstd_rand& random, const ConsoleLock::Guard&)
{
    // Heads 1..6: 14 slots each, colour and intensity inverted.
    for (int d = 1; d <= 6; ++d) {
        const int b = 16 + 14 * (d - 1);
        DevPan[d] = f[b + 5];
        DevTilt[d] = f[b + 6];
        DevRed[d] = inverted(f[b + 7]);
        DevGreen[d] = inverted(f[b + 9]);
        DevBlue[d] = inverted(f[b + 8]);
        DevIntensity[d] = inverted(f[b + 2]);
        DevWidth[d] = f[b + 3] / 4;
    }
    // Scanners 7..12: 15 slots each, a colour wheel.
    for (int d = 7; d <= 12; ++d) {
        const int b = 100 + 15 * (d - 7);
        DevPan[d] = f[b + 5];
        DevTilt[d] = f[b + 6];
        const Rgb rgb = colourWheel(f[b + 3], random);
        DevRed[d] = rgb.red;
        DevGreen[d] = rgb.green;
        DevBlue[d] = rgb.blue;
        DevIntensity[d] = f[b + 2];
        DevWidth[d] = 20;
    }
    // Heads 13..18: 10 slots each, inverted colour, a strobe channel.
    for (int d = 13; d <= 18; ++d) {
        const int b = 190 + 10 * (d - 13);
        DevPan[d] = f[b + 5];
        DevTilt[d] = f[b + 6];
        DevRed[d] = inverted(f[b + 3]);
        DevGreen[d] = inverted(f[b + 1]);
        DevBlue[d] = inverted(f[b + 2]);
        DevIntensity[d] = strobe(f[b + 4], StrobePhase);
        DevWidth[d] = 20;
    }
    // PAR cans 19..34 on slots 1..16: fixed colours, dimmer only.
    for (int d = 19; d <= kDevices; ++d) {
        const Rgb rgb = fixedColour(d);
        DevRed[d] = rgb.red;
        DevGreen[d] = rgb.green;
        DevBlue[d] = rgb.blue;
        DevIntensity[d] = f[d - 18];
    }
}

}  // namespace tavrelia
