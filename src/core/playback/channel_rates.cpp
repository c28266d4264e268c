#include "playback/channel_rates.h"

#include <algorithm>

namespace tavrelia {

int ChannelRates::RateToPosition(uint8_t rate)
{
    // Upper bound of the stored rates each position stands for.
    static constexpr std::array<uint8_t, kPositions> kUpTo{1, 2, 4, 8, 20, 50, 100, 255};
    return static_cast<int>(std::lower_bound(kUpTo.begin(), kUpTo.end(), rate) - kUpTo.begin());
}

QString ChannelRates::TabRate(int position)
{
    const RateStep& entry = RateTable[std::clamp(position, 0, kPositions - 1)];
    lastStep_ = entry.step;
    return QString::fromLatin1(entry.caption);
}

QString ChannelRates::applyToSelected(int position)
{
    QString caption;
    {
        auto g = lock_.hold();
        caption = TabRate(position);
        image_[ShowImage::kRateLevel] = lastStep_;
        desk_.CheckBoxToMemory();
        for (int c = 1; c <= 255; ++c) {
            if (image_[ShowImage::selectAddress(c)] != 0)
                image_[ShowImage::rateAddress(c)] = lastStep_;
        }
    }
    emit ratesChanged();
    return announce(std::move(caption));
}

QString ChannelRates::applyToStrip(int strip, int position)
{
    QString caption;
    {
        auto g = lock_.hold();
        caption = TabRate(position);
        image_[ShowImage::rateAddress(desk_.channelOf(strip))] = lastStep_;
    }
    return announce(std::move(caption));
}

QString ChannelRates::announce(QString caption)
{
    emit captionChanged(caption);
    return caption;
}

ChannelDesk::Strips<int> ChannelRates::stripPositions() const
{
    ChannelDesk::Strips<int> positions{};
    for (int i = 1; i <= ChannelDesk::kStrips; ++i)
        positions[i - 1] =
            RateToPosition(image_[ShowImage::rateAddress(desk_.channelOf(i))]);
    return positions;
}

}  // namespace tavrelia
