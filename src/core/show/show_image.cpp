#include "show/show_image.h"

#include <algorithm>
#include <cstring>

namespace tavrelia {

namespace {
constexpr char kIdentText[] =
    "it is DMX512 File Corvane USB Ver 5.3.1 Nordak 2008 show memory image - 640 records of 128 bytes   ";
static_assert(sizeof(kIdentText) - 1 == 99, "identification text is 99 characters");
}  // namespace

const std::array<uint8_t, ShowImage::kIdentSize>& ShowImage::identHeader()
{
    static const auto header = [] {
        std::array<uint8_t, kIdentSize> h{};
        std::memcpy(h.data(), kIdentText, sizeof(kIdentText) - 1);
        return h;
    }();
    return header;
}

uint8_t ShowImage::clampLevel(int value)
{
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

void ShowImage::DataWrite(uint8_t scene, uint8_t channel, int value)
{
    bytes_[levelAddress(scene, channel)] = clampLevel(value);
}

uint8_t ShowImage::DataRead(uint8_t scene, uint8_t channel) const
{
    return bytes_[levelAddress(scene, channel)];
}

void ShowImage::DataWriteXY(uint8_t scene, uint8_t xyChannel, int x, int y)
{
    // xyChannel + 2 may pass the record's end for channel 254/255; keep inside the image.
    const int base = sceneAddress(scene) + xyChannel;
    if (base + 1 < kImageSize)
        bytes_[base + 1] = clampLevel(x);
    if (base + 2 < kImageSize)
        bytes_[base + 2] = clampLevel(y);
}

void ShowImage::prepareAtStartUp()
{
    clearNames();
    bytes_[kAvtomat1Speed] = 50;
    bytes_[kAvtomat2Speed] = 50;
}

void ShowImage::clearNames()
{
    std::fill_n(bytes_.begin() + kNamesBase, kNamesClearSize, uint8_t{0});
}

void ShowImage::copyIdentHeader()
{
    std::copy(identHeader().begin(), identHeader().end(), bytes_.begin());
}

void ShowImage::resetToNewShow()
{
    copyIdentHeader();
    std::fill_n(bytes_.begin() + kRatesBase, 256, uint8_t{255});
    // Static pictures through the spare byte.
    std::fill(bytes_.begin() + kPicturesBase, bytes_.end(), uint8_t{0});
    bytes_[kCurrentScene] = 0;
    bytes_[kLastScene] = 1;
    bytes_[kSceneTempo] = kNewTempo;
    bytes_[kColorLock] = 1;
    bytes_[kFormRed] = kNewFormRed;
    bytes_[kFormGreen] = kNewFormGreen;
    bytes_[kFormBlue] = kNewFormBlue;
}

}  // namespace tavrelia
