#include "editing/window_color.h"

#include "console.h"

namespace tavrelia {

namespace {
constexpr int kComponents[] = {ShowImage::kFormRed, ShowImage::kFormGreen, ShowImage::kFormBlue};
// Added to red, green and blue by each automatic change, modulo 256.
constexpr int kAutoStep[] = {103, 43, 223};
}  // namespace

uint8_t WindowColor::ColorLock() const
{
    return console_.image[ShowImage::kColorLock];
}

ChannelColors::Rgb WindowColor::color() const
{
    const ShowImage& image = console_.image;
    return {image[ShowImage::kFormRed], image[ShowImage::kFormGreen], image[ShowImage::kFormBlue]};
}

void WindowColor::CheckBoxColorZamokClick(bool checked)
{
    auto guard = console_.lock();
    console_.image[ShowImage::kColorLock] = checked ? 1 : 0;
}

void WindowColor::setComponent(int component, uint8_t value)
{
    auto guard = console_.lock();
    console_.image[kComponents[component]] = value;
}

void WindowColor::changeAutomatically()
{
    auto guard = console_.lock();
    for (int i = 0; i < 3; ++i) {
        uint8_t& value = console_.image[kComponents[i]];
        value = static_cast<uint8_t>(value + kAutoStep[i]);
    }
}

}  // namespace tavrelia
