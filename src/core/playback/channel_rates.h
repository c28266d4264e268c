#pragma once

#include <array>
#include <cstdint>

#include <QObject>
#include <QString>

#include "console_lock.h"
#include "editing/channel_desk.h"
#include "show/show_image.h"

namespace tavrelia {

// Per-channel transition rates: the level step per output tick that each channel's
// output may move by. The bars choose one of eight steps; captions give the rough
// time of a full swing in seconds.
class ChannelRates : public QObject {
    Q_OBJECT
public:
    struct RateStep {
        uint8_t step;
        const char* caption;
    };
    static constexpr int kPositions = 8;
    static constexpr int kSelectedDefault = 7;   // ScrollBarRateLeuel
    static constexpr int kStripDefault = 5;      // ScrollBarRate01..27 before the first refresh
    static constexpr std::array<RateStep, kPositions> RateTable{{
        {1, "15"}, {2, "7"}, {4, "3"}, {8, "2"}, {20, "1"}, {50, "0,5"}, {100, "0,2"}, {255, "no"},
    }};

    // The rates live in the show; the desk says which channel a strip shows and
    // writes the visible boxes back before the selected channels get their rate.
    ChannelRates(ShowImage& image, ChannelDesk& desk, ConsoleLock& lock)
        : image_(image), desk_(desk), lock_(lock)
    {
    }

    // A stored rate to the bar position that shows it.
    static int RateToPosition(uint8_t rate);

    // Keeps the position's step as the last chosen one; returns its caption.
    QString TabRate(int position);
    uint8_t lastStep() const { return lastStep_; }

    // The selected-rates bar: every channel whose selection flag is set (after the
    // visible boxes are written back) gets the step; RateLevel records it.
    QString applyToSelected(int position);
    // The rate bar of strip 1..27 sets its channel's rate.
    QString applyToStrip(int strip, int position);

    // Bar positions of the 27 visible channels.
    ChannelDesk::Strips<int> stripPositions() const;

signals:
    // A bar chose a rate: its caption.
    void captionChanged(const QString& caption);
    // Rates of channels that no single strip's bar chose changed.
    void ratesChanged();

private:
    QString announce(QString caption);

    ShowImage& image_;
    ChannelDesk& desk_;
    ConsoleLock& lock_;
    uint8_t lastStep_ = RateTable[kSelectedDefault].step;
};

}  // namespace tavrelia
