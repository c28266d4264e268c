#include "view3d/hand_scan.h"

#include <algorithm>
#include <utility>

namespace tavrelia {

void HandScan::place(int column, int row)
{
    column_ = std::clamp(column, 0, 255);
    row_ = std::clamp(row, 0, 255);
}

HandScan::Result HandScan::mouseDown(int column, int row, const Options& options)
{
    drag_ = true;
    place(column, row);
    return calcMouse(options);
}

HandScan::Result HandScan::mouseMove(int column, int row, const Options& options)
{
    place(column, row);
    return calcMouse(options);
}

HandScan::Result HandScan::calcMouse(const Options& options)
{
    Result r;
    // Row 0 is the top of the pad, and up is the larger Y.
    r.x = static_cast<uint8_t>(options.invertX ? 255 - column_ : column_);
    r.y = static_cast<uint8_t>(options.invertY ? row_ : 255 - row_);
    if (options.swap)
        std::swap(r.x, r.y);
    if (!drag_)
        return r;
    r.written = true;
    r.selectionChanged = writeSelectedPairs(r.x, r.y);
    return r;
}

// Ascending order matters: with 5, 6 and 7 selected, 6 is 5's Y and loses its mark,
// and 7 stays the X of the pair 7/8. A selected channel 255 puts its Y in the byte
// after the record's last channel, which is never output.
bool HandScan::writeSelectedPairs(uint8_t x, uint8_t y)
{
    const bool selectionChanged = writePairs(x, y);
    emit moved(x, y);
    return selectionChanged;
}

bool HandScan::writePairs(uint8_t x, uint8_t y)
{
    auto guard = parts_.lock.hold();
    parts_.controls.handX = x;
    parts_.controls.handY = y;
    ShowImage& image = parts_.image;
    const int scene = ShowImage::sceneAddress(image.currentScene());
    bool selectionChanged = false;
    for (int i = 1; i <= 255; ++i) {
        if (image[ShowImage::selectAddress(i)] != 1)
            continue;
        if (i < 255 && image[ShowImage::selectAddress(i + 1)] == 1) {
            image[ShowImage::selectAddress(i + 1)] = 0;
            selectionChanged = true;
        }
        if (parts_.play.PlayFlag)
            continue;
        image[scene + i] = x;
        image[scene + i + 1] = y;
    }
    return selectionChanged;
}

void HandScan::setPriority(bool on)
{
    auto guard = parts_.lock.hold();
    parts_.controls.handPriority = on;
}

bool HandScan::priority() const
{
    return parts_.controls.handPriority;
}

uint8_t HandScan::startCode() const
{
    return parts_.image[ShowImage::kStartCode];
}

void HandScan::setStartCode(uint8_t value)
{
    auto guard = parts_.lock.hold();
    parts_.image[ShowImage::kStartCode] = value;
}

}  // namespace tavrelia
