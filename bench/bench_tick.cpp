// One output tick: frame assembly under the lock, device feed and frame; and the
// packet the USB interfaces' drivers make of a frame.
#include <benchmark/benchmark.h>

#include "console.h"
#include "output/dmx_packet.h"
#include "output/frame_sink.h"

namespace {

using tavrelia::Console;
using tavrelia::ShowImage;

// Ready like an open link, but the write goes nowhere: only the tick is measured.
class DiscardingSink final : public tavrelia::FrameSink {
public:
    bool readyForFrame(bool demo) override { return !demo; }
    void writeFrame(tavrelia::DmxFrameView frame) override { benchmark::DoNotOptimize(frame.back()); }
};

// A busy show: every channel fading, two pictures, manual faders, hand scan, a
// recoding table that is not the identity and a quarter of the slots at 255.
void prepare(Console& console)
{
    console.clearShowData();
    for (int c = 1; c <= 255; ++c) {
        console.image[ShowImage::rateAddress(c)] = static_cast<uint8_t>(1 + c % 9);
        console.image[ShowImage::levelAddress(0, c)] = static_cast<uint8_t>(c % 4 ? c : 255);
        console.image[ShowImage::levelAddress(1, c)] = static_cast<uint8_t>(255 - c);
        console.image[ShowImage::pictureFlagAddress(0, c)] = c % 5 == 0;
        console.image[ShowImage::pictureFlagAddress(9, c)] = c % 7 == 0;
        console.image[ShowImage::pictureLevelAddress(9, c)] = 255;
        console.dmx.RecodeTable[c] = static_cast<uint16_t>(256 - c);
    }
    console.image[ShowImage::selectAddress(40)] = 1;
    console.controls.pictures[0] = console.controls.pictures[9] = true;
    console.controls.manual = true;
    console.controls.stripChecked.fill(true);
    console.controls.handPriority = true;
}

void BM_OutputTick(benchmark::State& state)
{
    Console console;
    DiscardingSink sink;
    prepare(console);
    console.output.setSink(&sink);
    int n = 0;
    for (auto _ : state) {
        // Alternate scenes so the frame keeps moving.
        if (++n % 64 == 0)
            console.image[ShowImage::kCurrentScene] ^= 1;
        console.output.OutputTick();
    }
    benchmark::DoNotOptimize(console.dmx.OutputFrame.data());
}
BENCHMARK(BM_OutputTick);

void BM_PacketOnly(benchmark::State& state)
{
    tavrelia::DmxFrame frame{};
    for (size_t s = 0; s < frame.size(); ++s)
        frame[s] = static_cast<uint8_t>(s % 4 ? s : 255);
    static tavrelia::DmxPacket::Buffer buffer;
    for (auto _ : state)
        benchmark::DoNotOptimize(tavrelia::DmxPacket::build(frame, buffer));
}
BENCHMARK(BM_PacketOnly);

}  // namespace

BENCHMARK_MAIN();
