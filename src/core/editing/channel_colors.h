#pragma once

#include <QObject>

#include <array>
#include <cstdint>

namespace tavrelia {

// Per-channel display attributes: the background of the channel's name field, the
// group colour of its desk strip and its type picture. They are not part of the
// show; the colour file keeps them. Index = channel number (1..255 used of 0..511).
// Written on the user-interface thread only, which reads them without the lock; every
// writer says so with changed(), and whoever shows them follows it.
class ChannelColors : public QObject {
    Q_OBJECT
public:
    static constexpr int kSize = 512;
    static constexpr int kPictures = 142;        // pictures 0..141; larger shows none
    static constexpr int kNoChannel = 1000;      // ColorEditChannel when nothing is edited
    static constexpr uint8_t kStartRed = 230;    // a name field's colour at start-up
    static constexpr uint8_t kStartGreen = 238;
    static constexpr uint8_t kStartBlue = 245;
    using Table = std::array<uint8_t, kSize>;

    struct Rgb {
        uint8_t red, green, blue;
        bool operator==(const Rgb&) const = default;
    };

    ChannelColors();

    // Read by anyone; written through the calls below (the colour file writes them
    // whole and then calls tablesReplaced).
    Table NameRed{};
    Table NameGreen{};
    Table NameBlue{};
    Table GroupRed{};
    Table GroupGreen{};
    Table GroupBlue{};
    Table ChannelPicture{};

    // The channel whose name colour the colour bars edit.
    int ColorEditChannel = kNoChannel;
    void setEditChannel(int channel);

    Rgb nameColor(int channel) const { return {NameRed[channel], NameGreen[channel], NameBlue[channel]}; }
    Rgb groupColor(int channel) const
    {
        return {GroupRed[channel], GroupGreen[channel], GroupBlue[channel]};
    }
    void setNameColor(int channel, Rgb color);
    void setGroupColor(int channel, Rgb color);
    void setPicture(int channel, uint8_t picture);

    // One bar of the name colour (0 red, 1 green, 2 blue) for the edited channel;
    // false when no channel is being edited.
    bool setEditedComponent(int component, uint8_t value);

    // The clearing menu: channels 0..510 (the last entry is left as it was).
    void clearNameColors();                // white fields
    void clearPictures();                  // no picture
    void clearGroupColors(Rgb windowColor);   // swatches vanish into the window
    // Every table was written at once.
    void tablesReplaced() { emit changed(-1); }

signals:
    // A channel's colours or picture changed; -1: any channel's.
    void changed(int channel);
    void editChannelChanged(int channel);
};

}  // namespace tavrelia
