#include "editing/channel_desk.h"

#include <algorithm>

#include "console.h"

namespace tavrelia {

uint8_t ChannelDesk::pageOffset() const
{
    return console_.controls.pageOffset;
}

void ChannelDesk::setPageOffset(int position)
{
    auto g = console_.lock();
    ControlState& controls = console_.controls;
    controls.pageOffset = static_cast<uint8_t>(std::clamp(position, 0, kMaxPage));
    // The manual overlay must never see the new page with the old page's strips:
    // the faders that the refresh will reload and the boxes change here in the
    // same step, and the widgets then follow with the same values.
    const Strips<uint8_t> levels = sceneLevels();
    for (int i = 0; i < kStrips; ++i) {
        if (!(controls.manual && controls.stripChecked[i]))
            controls.stripLevel[i] = levels[i];
    }
    CheckBoxFromMemory();
}

void ChannelDesk::faderMoved(int strip, uint8_t level)
{
    auto g = console_.lock();
    console_.controls.stripLevel[strip - 1] = level;
    if (console_.PlayFlag)
        return;
    console_.RaschetAdr(console_.image.currentScene());
    console_.image[console_.SceneAddress + channelOf(strip)] = level;
}

void ChannelDesk::boxChanged(int strip, bool checked)
{
    auto g = console_.lock();
    console_.controls.stripChecked[strip - 1] = checked;
    console_.image[ShowImage::selectAddress(channelOf(strip))] = checked ? 1 : 0;
}

void ChannelDesk::setManual(bool on)
{
    auto g = console_.lock();
    console_.controls.manual = on;
}

bool ChannelDesk::manual() const
{
    return console_.controls.manual;
}

bool ChannelDesk::stripChecked(int strip) const
{
    return console_.controls.stripChecked[strip - 1];
}

ChannelDesk::Strips<uint8_t> ChannelDesk::sceneLevels()
{
    auto g = console_.lock();
    // The output tick keeps its own address, so nothing else keeps this one current.
    console_.RaschetAdr(console_.image.currentScene());
    Strips<uint8_t> levels{};
    for (int i = 1; i <= kStrips; ++i)
        levels[i - 1] = console_.image[console_.SceneAddress + channelOf(i)];
    return levels;
}

ChannelDesk::Strips<bool> ChannelDesk::CheckBoxFromMemory()
{
    auto g = console_.lock();
    Strips<bool> boxes{};
    for (int i = 1; i <= kStrips; ++i)
        boxes[i - 1] = console_.image[ShowImage::selectAddress(channelOf(i))] == 1;
    // The overlay takes all 27 boxes at once, not one by one as the widgets follow.
    console_.controls.stripChecked = boxes;
    return boxes;
}

void ChannelDesk::CheckBoxToMemory()
{
    auto g = console_.lock();
    for (int i = 1; i <= kStrips; ++i)
        console_.image[ShowImage::selectAddress(channelOf(i))] = stripChecked(i) ? 1 : 0;
}

bool ChannelDesk::setAllLevelsToZero()
{
    auto g = console_.lock();
    if (console_.PlayFlag)
        return false;
    console_.RaschetAdr(console_.image.currentScene());
    std::fill_n(console_.image.data() + console_.SceneAddress, ShowImage::kSceneSize, uint8_t{0});
    return true;
}

bool ChannelDesk::setVisibleLevels(uint8_t level)
{
    auto g = console_.lock();
    if (console_.PlayFlag)
        return false;
    console_.RaschetAdr(console_.image.currentScene());
    std::fill_n(console_.image.data() + console_.SceneAddress + channelOf(1), kStrips, level);
    return true;
}

void ChannelDesk::clearAllFlags()
{
    auto g = console_.lock();
    std::fill_n(console_.image.data() + ShowImage::kSelectBase, 256, uint8_t{0});
}

void ChannelDesk::setVisibleFlags(bool on)
{
    auto g = console_.lock();
    std::fill_n(console_.image.data() + ShowImage::selectAddress(channelOf(1)), kStrips,
                static_cast<uint8_t>(on ? 1 : 0));
}

ChannelDesk::Strips<uint8_t> ChannelDesk::outputLevels() const
{
    auto g = console_.lock();
    Strips<uint8_t> levels{};
    for (int i = 1; i <= kStrips; ++i)
        levels[i - 1] = console_.OutputFrame[channelOf(i)];
    return levels;
}

int ChannelDesk::percent(uint8_t level)
{
    // ceil(level / 2.55) without floating point: 1 -> 1, 128 -> 51, 254 -> 100.
    return (level * 100 + 254) / 255;
}

QString ChannelDesk::outputCaption(uint8_t level, bool inPercent)
{
    return QString::number(inPercent ? percent(level) : level);
}

int ChannelDesk::nextRefreshGroup()
{
    if (++labelRefreshGroup_ > kRefreshGroups)
        labelRefreshGroup_ = 1;
    return labelRefreshGroup_;
}

}  // namespace tavrelia
