#include "editing/channel_desk.h"

#include <algorithm>
#include <utility>

namespace tavrelia {

uint8_t ChannelDesk::pageOffset() const
{
    return parts_.controls.pageOffset;
}

const uint8_t* ChannelDesk::currentScene() const
{
    const ShowImage& image = parts_.image;
    return image.data() + ShowImage::sceneAddress(image.currentScene());
}

uint8_t* ChannelDesk::currentScene()
{
    return const_cast<uint8_t*>(std::as_const(*this).currentScene());
}

void ChannelDesk::setPageOffset(int position)
{
    auto g = parts_.lock.hold();
    ControlState& controls = parts_.controls;
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
    auto g = parts_.lock.hold();
    parts_.controls.stripLevel[strip - 1] = level;
    if (parts_.play.PlayFlag)
        return;
    currentScene()[channelOf(strip)] = level;
}

void ChannelDesk::sceneLevelSet(int channel, uint8_t level)
{
    auto g = parts_.lock.hold();
    if (!parts_.play.PlayFlag)
        currentScene()[channel] = level;
}

uint8_t ChannelDesk::sceneLevel(int channel) const
{
    return currentScene()[channel];
}

void ChannelDesk::boxChanged(int strip, bool checked)
{
    auto g = parts_.lock.hold();
    parts_.controls.stripChecked[strip - 1] = checked;
    parts_.image[ShowImage::selectAddress(channelOf(strip))] = checked ? 1 : 0;
}

void ChannelDesk::setManual(bool on)
{
    auto g = parts_.lock.hold();
    parts_.controls.manual = on;
}

bool ChannelDesk::manual() const
{
    return parts_.controls.manual;
}

bool ChannelDesk::stripChecked(int strip) const
{
    return parts_.controls.stripChecked[strip - 1];
}

ChannelDesk::Strips<uint8_t> ChannelDesk::sceneLevels()
{
    auto g = parts_.lock.hold();
    const uint8_t* scene = currentScene();
    Strips<uint8_t> levels{};
    for (int i = 1; i <= kStrips; ++i)
        levels[i - 1] = scene[channelOf(i)];
    return levels;
}

ChannelDesk::Strips<bool> ChannelDesk::CheckBoxFromMemory()
{
    auto g = parts_.lock.hold();
    Strips<bool> boxes{};
    for (int i = 1; i <= kStrips; ++i)
        boxes[i - 1] = parts_.image[ShowImage::selectAddress(channelOf(i))] == 1;
    // The overlay takes all 27 boxes at once, not one by one as the widgets follow.
    parts_.controls.stripChecked = boxes;
    return boxes;
}

void ChannelDesk::CheckBoxToMemory()
{
    auto g = parts_.lock.hold();
    for (int i = 1; i <= kStrips; ++i)
        parts_.image[ShowImage::selectAddress(channelOf(i))] = stripChecked(i) ? 1 : 0;
}

bool ChannelDesk::setAllLevelsToZero()
{
    auto g = parts_.lock.hold();
    if (parts_.play.PlayFlag)
        return false;
    std::fill_n(currentScene(), ShowImage::kSceneSize, uint8_t{0});
    return true;
}

bool ChannelDesk::setVisibleLevels(uint8_t level)
{
    auto g = parts_.lock.hold();
    if (parts_.play.PlayFlag)
        return false;
    std::fill_n(currentScene() + channelOf(1), kStrips, level);
    return true;
}

void ChannelDesk::clearAllFlags()
{
    auto g = parts_.lock.hold();
    std::fill_n(parts_.image.data() + ShowImage::kSelectBase, 256, uint8_t{0});
}

void ChannelDesk::setVisibleFlags(bool on)
{
    auto g = parts_.lock.hold();
    std::fill_n(parts_.image.data() + ShowImage::selectAddress(channelOf(1)), kStrips,
                static_cast<uint8_t>(on ? 1 : 0));
}

ChannelDesk::Strips<uint8_t> ChannelDesk::outputLevels() const
{
    auto g = parts_.lock.hold();
    Strips<uint8_t> levels{};
    for (int i = 1; i <= kStrips; ++i)
        levels[i - 1] = parts_.dmx.OutputFrame[channelOf(i)];
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
