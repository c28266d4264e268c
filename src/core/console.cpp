#include "console.h"

#include <algorithm>

namespace tavrelia {

Console::Console()
{
    resetRecodeTable();
    output.setSink(&usbLink);
    output.setAutomats(&automats);
}

Console::~Console()
{
    stopOutput();
}

void Console::startOutput(TickProbe probe, bool realTime)
{
    outputThread_.start(
        [this, probe = std::move(probe)](OutputThread::Clock::time_point deadline) {
            output.OutputTick();
            if (probe)
                probe(deadline);
        },
        realTime);
}

void Console::stopOutput()
{
    outputThread_.stop();
}

void Console::resetRecodeTable()
{
    auto guard = lock();
    for (int i = 1; i < kFrameSlots; ++i)
        RecodeTable[i] = static_cast<uint16_t>(i);
}

void Console::clearShowData()
{
    auto guard = lock();
    sceneBuffer.fill(0);
    std::fill_n(OutputFrame.begin(), 512, uint8_t{0});
    image.resetToNewShow();
    PlayFlag = false;
}

}  // namespace tavrelia
