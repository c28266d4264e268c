#include "output/output_controls.h"

namespace tavrelia {

void OutputControls::setBlackOut(bool on)
{
    auto g = parts_.lock.hold();
    parts_.controls.blackOut = on;
}

void OutputControls::setMacroOut(bool down)
{
    auto g = parts_.lock.hold();
    parts_.controls.macroOut = down;
}

void OutputControls::setPicture(int picture, bool on)
{
    auto g = parts_.lock.hold();
    parts_.controls.pictures.at(picture) = on;
}

void OutputControls::setTransitionMode(int mode)
{
    auto g = parts_.lock.hold();
    parts_.controls.transitionMode = mode;
}

void OutputControls::setDemo(bool on)
{
    auto g = parts_.lock.hold();
    parts_.controls.demo = on;
}

void OutputControls::setSelectedLevels(uint8_t level)
{
    auto g = parts_.lock.hold();
    ShowImage& image = parts_.image;
    const int scene = ShowImage::sceneAddress(image.currentScene());
    for (int c = 1; c <= 255; ++c) {
        if (image[ShowImage::selectAddress(c)] != 0)
            image[scene + c] = level;
    }
}

void OutputControls::setRecodeEntry(int slot, uint16_t source)
{
    auto g = parts_.lock.hold();
    parts_.dmx.RecodeTable.at(slot) = source;
}

void OutputControls::resetRecoding()
{
    parts_.dmx.resetRecodeTable(parts_.lock.hold());
}

}  // namespace tavrelia
