#pragma once

#include "console_lock.h"
#include "editing/channel_colors.h"
#include "show/show_image.h"

namespace tavrelia {

class ChannelNames;
class SceneList;

// Names of repeated devices: a block of channel names (with their pictures and name
// colours) copied to the channels after it, several times over, each copy numbered
// by its first character and marked by alternating grey swatches.
class NameBlockCopy {
public:
    static constexpr ChannelColors::Rgb kOddCopy{170, 170, 170};
    static constexpr ChannelColors::Rgb kEvenCopy{200, 200, 200};
    static constexpr ChannelColors::Rgb kFirstChannel{50, 250, 50};

    struct Params {
        int first = 1;
        int last = 10;
        int from = 11;
        int repeat = 1;
        int digit = 2;
        bool numberCopies = true;   // "+ Namber Name"
        bool markFirst = true;      // "Отмечать первый канал"
    };
    struct Outcome {
        bool refused = false;   // the first copy would pass channel 255: nothing copied
        int from = 0;           // where a next copy would start
        int digit = 0;          // and its number
    };

    // The names in the show, the display tables that follow them, and the scene list
    // that keeps the undo copy.
    NameBlockCopy(ShowImage& image, ChannelNames& names, ChannelColors& colors, SceneList& sceneList,
                  ConsoleLock& lock)
        : image_(image), names_(names), colors_(colors), sceneList_(sceneList), lock_(lock)
    {
    }

    // Takes the undo copy first, also when the copy is then refused. Later copies
    // stop at channel 255: names beyond it do not exist.
    Outcome ButtonNameBlocCopyClick(const Params& params);

private:
    void copyOnce(const Params& params, int from, int digit, int round);

    ShowImage& image_;
    ChannelNames& names_;
    ChannelColors& colors_;
    SceneList& sceneList_;
    ConsoleLock& lock_;
};

}  // namespace tavrelia
