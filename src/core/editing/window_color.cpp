#include "editing/window_color.h"

namespace tavrelia {

namespace {
constexpr int kComponents[] = {ShowImage::kFormRed, ShowImage::kFormGreen, ShowImage::kFormBlue};
// Added to red, green and blue by each automatic change, modulo 256.
constexpr int kAutoStep[] = {103, 43, 223};
}  // namespace

uint8_t WindowColor::ColorLock() const
{
    return image_[ShowImage::kColorLock];
}

ChannelColors::Rgb WindowColor::color() const
{
    return {image_[ShowImage::kFormRed], image_[ShowImage::kFormGreen], image_[ShowImage::kFormBlue]};
}

void WindowColor::CheckBoxColorZamokClick(bool checked)
{
    auto guard = lock_.hold();
    image_[ShowImage::kColorLock] = checked ? 1 : 0;
}

void WindowColor::setComponent(int component, uint8_t value)
{
    auto guard = lock_.hold();
    image_[kComponents[component]] = value;
}

void WindowColor::changeAutomatically()
{
    auto guard = lock_.hold();
    for (int i = 0; i < 3; ++i) {
        uint8_t& value = image_[kComponents[i]];
        value = static_cast<uint8_t>(value + kAutoStep[i]);
    }
}

}  // namespace tavrelia
