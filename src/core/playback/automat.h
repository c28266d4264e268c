#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>

#include "console_lock.h"
#include "output/control_state.h"
#include "output/dmx_frame.h"
#include "playback/play_state.h"
#include "show/show_image.h"

namespace tavrelia {

// One four-channel chaser: at every step of its own timer one of four eight-step
// patterns sets channels p+1..p+4 to the bright or the dark level. The output tick
// writes its values over the scene while it is active.
//
// The UI thread runs the timer and every setter; what the output tick reads (the
// active flag, the values and the first channel) is written under the console lock.
class Automat : public QObject {
    Q_OBJECT
public:
    static constexpr int kChannels = 4;
    static constexpr int kSteps = 8;
    static constexpr int kPrograms = 4;
    static constexpr int kMinSpeed = 5;
    static constexpr int kMaxSpeed = 50;
    static constexpr int kZeroSpeed = 20;   // what a stored speed of 0 is read as
    static constexpr int kMaxChannel = 250;
    static constexpr int kFirstPeriodMs = 1000;
    using Values = std::array<uint8_t, kChannels>;

    // The show keeps the settings; it runs with the show by the play state and
    // stands still in a blackout.
    struct Parts {
        ShowImage& image;
        const PlayState& play;
        const ControlState& controls;
        ConsoleLock& lock;
    };
    // number is 1 or 2: which system bytes and which counter turning points.
    Automat(Parts parts, int number, QObject* parent = nullptr);

    int number() const { return number_; }

    // The step period of a stored speed: its square in ms, 0 read as 20. A speed
    // outside the bar's range is taken at the nearest limit, so the period stays
    // within 25 ms .. 2.5 s whatever a file holds.
    static int periodOf(uint8_t speed);
    static QString speedLabel(int periodMs);
    // "B" or "D" for each channel at step s of program 1..4.
    static const char* pattern(int program, int step);

    // The speed byte to the timer; the timer keeps running unless the period changed.
    void TempAvtomatStatus();
    int period() const { return timer_.interval(); }
    QTimer& timer() { return timer_; }
    void start();

    // The controls' handlers.
    void setSpeed(int position);
    void setChannel(int position);
    void setMode(int mode);               // an effect button clicked: the stored mode
    void setProgram(int program);         // the effect button that is down
    void setBright(int position);         // bar position: the top of the bar is full level
    void setDark(int position);
    void setRunAlone(bool on) { runAlone_ = on; }
    void setWithShow(bool on) { withShow_ = on; }
    bool runAlone() const { return runAlone_; }
    bool withShow() const { return withShow_; }

    // The stored speed, first channel and effect put in force, as the window's
    // refresh does through its bars: a channel above 250 is written back as 250, an
    // effect outside 1..4 leaves the one in force.
    void takeStoredSettings();

    // Stored settings of this automat.
    uint8_t storedSpeed() const;
    uint8_t storedChannel() const;
    uint8_t storedMode() const;
    uint8_t storedBright() const;
    uint8_t storedDark() const;

    // One timer period: the run decision, and one step when it runs.
    void TimerTempAvtomatTimer();
    void JobAvtomat();

    int step() const { return step_; }
    int cycle() const { return cycle_; }
    bool active() const { return active_; }
    int channel() const { return channel_; }
    int program() const { return program_; }
    const Values& values() const { return values_; }
    QString stepText() const;
    // " Каналы 1  2  3  4" for the channels driven.
    QString channelsText() const;
    // " Начиная от - " and the whole name of channel p+1.
    QString firstChannelText() const;

    // The output tick's part: slots p+1..p+4 while active.
    void writeTo(DmxFrame& frame, const ConsoleLock::Guard& held) const;

signals:
    void speedChanged(const QString& label);
    // Every timer period; `stepped` when the automat took a step.
    void ticked(bool stepped);

private:
    int offset(int field) const;
    void runProgram();

    Parts parts_;
    const int number_;
    const int turnDown_;   // the cycle count from which the steps run downwards
    const int turnUp_;     // the cycle count after which they run upwards again
    QTimer timer_;

    int step_ = 0;
    int cycle_ = 0;
    bool active_ = false;
    int channel_ = 0;      // the channel bar's position
    int program_ = 1;      // the effect button that is down
    bool runAlone_ = false;
    bool withShow_ = false;
    Values values_{};
};

}  // namespace tavrelia
