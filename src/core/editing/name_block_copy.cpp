#include "editing/name_block_copy.h"

#include <QSignalBlocker>
#include "editing/channel_names.h"
#include "editing/scene_list.h"

namespace tavrelia {

namespace {
constexpr int kLastChannel = 255;
constexpr uint8_t kDigitZero = '0';
}  // namespace

NameBlockCopy::Outcome NameBlockCopy::ButtonNameBlocCopyClick(const Params& params)
{
    sceneList_.ToMemoryUndo();
    Outcome outcome{false, params.from, params.digit};
    if (params.last - params.first + params.from > kLastChannel) {
        outcome.refused = true;
        return outcome;
    }
    const int size = params.last - params.first + 1;
    {
        // One announcement for the whole copy, once the lock is free.
        const QSignalBlocker quiet(colors_);
        auto guard = lock_.hold();
        for (int round = 1; round <= params.repeat; ++round) {
            copyOnce(params, outcome.from, outcome.digit, round);
            outcome.from += size;
            ++outcome.digit;
        }
    }
    colors_.tablesReplaced();
    names_.namesWritten();
    return outcome;
}

void NameBlockCopy::copyOnce(const Params& params, int from, int digit, int round)
{
    uint8_t* image = image_.data();
    // Byte by byte in rising order: an overlapping destination repeats the first names.
    const int source = ShowImage::nameAddress(params.first);
    const int target = ShowImage::nameAddress(from);
    const int length = (params.last - params.first + 1) * ShowImage::kNameSize;
    const int end = ShowImage::nameAddress(kLastChannel + 1);
    for (int k = 0; k < length && target + k < end; ++k)
        image[target + k] = image[source + k];

    for (int b = params.first; b <= params.last; ++b) {
        const int d = from + (b - params.first);
        if (d > kLastChannel)
            break;
        if (params.numberCopies)
            image[ShowImage::nameAddress(d)] = static_cast<uint8_t>(kDigitZero + digit);
        colors_.setPicture(d, colors_.ChannelPicture[b]);
        colors_.setNameColor(d, colors_.nameColor(b));
        colors_.setGroupColor(d, round % 2 == 1 ? kOddCopy : kEvenCopy);
        if (params.markFirst && b == params.first)
            colors_.setGroupColor(d, kFirstChannel);
    }
}

}  // namespace tavrelia
