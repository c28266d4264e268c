#include "output/output_controls.h"

#include "console.h"

namespace tavrelia {

void OutputControls::setBlackOut(bool on)
{
    auto g = console_.lock();
    console_.controls.blackOut = on;
    console_.PlayFlag = false;
}

void OutputControls::setMacroOut(bool down)
{
    auto g = console_.lock();
    console_.controls.macroOut = down;
}

void OutputControls::setPicture(int picture, bool on)
{
    auto g = console_.lock();
    console_.controls.pictures.at(picture) = on;
}

void OutputControls::setTransitionMode(int mode)
{
    auto g = console_.lock();
    console_.controls.transitionMode = mode;
}

void OutputControls::setDemo(bool on)
{
    auto g = console_.lock();
    console_.controls.demo = on;
}

void OutputControls::setSelectedLevels(uint8_t level)
{
    auto g = console_.lock();
    ShowImage& image = console_.image;
    console_.RaschetAdr(image.currentScene());
    for (int c = 1; c <= 255; ++c) {
        if (image[ShowImage::selectAddress(c)] != 0)
            image[console_.SceneAddress + c] = level;
    }
}

void OutputControls::setRecodeEntry(int slot, uint16_t source)
{
    auto g = console_.lock();
    console_.RecodeTable.at(slot) = source;
}

void OutputControls::resetRecoding()
{
    console_.resetRecodeTable();
}

}  // namespace tavrelia
