#pragma once

#include "console_lock.h"
#include "editing/channel_colors.h"
#include "show/show_image.h"

namespace tavrelia {

// The main window's own colour, kept in the show: ColorLock (1 = the window is
// painted in the show's colour) and FormRed, FormGreen, FormBlue.
class WindowColor {
public:
    WindowColor(ShowImage& image, ConsoleLock& lock) : image_(image), lock_(lock) {}

    uint8_t ColorLock() const;
    ChannelColors::Rgb color() const;

    void CheckBoxColorZamokClick(bool checked);
    // One bar of the colour: 0 red, 1 green, 2 blue.
    void setComponent(int component, uint8_t value);
    // Save As with "change colour automatically": a new colour for the next show.
    void changeAutomatically();

private:
    ShowImage& image_;
    ConsoleLock& lock_;
};

}  // namespace tavrelia
