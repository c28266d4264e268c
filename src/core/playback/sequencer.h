#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <cstdint>

#include "console_lock.h"
#include "output/control_state.h"
#include "playback/play_state.h"
#include "show/show_image.h"

namespace tavrelia {

class Conveyor;

// Colour of the beat lamp for one period.
enum class BeatLamp { Go, BlackOut, Macro };

// Plays the show: once a period it makes the next scene current and works out the
// per-channel steps the output tick uses to fade to it in one period. Also keeps
// the play mode and the show clock counters.
class Sequencer : public QObject {
    Q_OBJECT
public:
    static constexpr int kMinTempo = 10;
    static constexpr int kMaxTempo = 170;
    static constexpr int kOutputTickMs = 50;

    // What the sequencer plays and moves: the show, the play state; the window's
    // switches colour the beat; the conveyor takes over at the wrap in its list modes.
    struct Parts {
        ShowImage& image;
        PlayState& play;
        const ControlState& controls;
        Conveyor& conveyor;
        ConsoleLock& lock;
    };
    explicit Sequencer(Parts parts, QObject* parent = nullptr);

    // A stored tempo outside the bar's range is taken at the nearest limit, so the
    // period is never zero and the label never divides by zero.
    static uint8_t clampTempo(int tempo);
    static int periodOf(int tempo);
    // Output ticks per period: how many steps a fade gets.
    static int ticksPerPeriod(int periodMs);
    static QString tempoLabel(int periodMs);

    // Applies SceneTempo (or the period taken from the beat) to the period and
    // announces the new tempo label.
    void TempStatus();
    // A period taken from the beat (taps, a clock), in force instead of the show's
    // tempo until released; the show's stored tempo stays as it is, so saving keeps
    // the show's own. Clamped to the tempo bar's range of periods. With restart, the
    // running period starts afresh now (the beat was just now).
    void takePeriod(int periodMs, bool restart);
    void releasePeriod();
    int takenPeriod() const { return taken_; }   // 0: the show's own tempo
    // Driven by a clock: the period timer stands still and the clock's beats call
    // TimerSeqveserTimer; no longer driven, the timer runs again from now.
    void setDriven(bool driven);
    bool driven() const { return driven_; }
    int period() const { return period_; }
    QString tempoText() const { return tempoLabel(period_); }
    QTimer& timer() { return timer_; }
    // Starts the period timer; needs a running event dispatcher.
    void start();

    // One period: the beat, then (while playing) the advance.
    void TimerSeqveserTimer();

    void ModePlay();
    void ModeStop();
    // The show stops, the play mode's buttons and the clock as they are.
    void halt();
    // Scene (up to the last) becomes current. A playing show fades to it from the
    // scene before it; the running period goes on (the beat stays where it was).
    void goTo(uint8_t scene);
    // The show's tempo (clamped to the bar's range) and the period from it.
    void setTempo(int tempo);
    // Play from the first scene at once, without waiting for the period.
    void playFromFirstScene();
    bool playing() const;

    // One second of the show clock; hours wrap after 23.
    void clockTick();
    int clockHours() const { return hours_; }
    int clockMinutes() const { return minutes_; }
    int clockSeconds() const { return seconds_; }
    QString clockText() const;

    BeatLamp beatLamp() const;

    // When the last scene change (an advance or a go) was made, for measuring the
    // beat against what drives it; the tick can show the scene from this moment on.
    std::chrono::steady_clock::time_point sceneChangedAt() const { return sceneChangedAt_; }

signals:
    void tempoChanged(const QString& label);
    void beat(tavrelia::BeatLamp lamp);
    // CurrentScene was moved by the sequencer.
    void advanced();
    void modeChanged(bool playing);

private:
    void advanceScene(const ConsoleLock::Guard& held);
    void computeFadeSteps(const ConsoleLock::Guard& held);
    int periodInForce() const;
    void resetClock();

    ShowImage& image_;
    PlayState& play_;
    const ControlState& controls_;
    Conveyor& conveyor_;
    ConsoleLock& lock_;
    QTimer timer_;
    int period_ = 0;
    int taken_ = 0;
    bool driven_ = false;
    std::chrono::steady_clock::time_point sceneChangedAt_{};
    int hours_ = 0;
    int minutes_ = 0;
    int seconds_ = 0;
};

}  // namespace tavrelia
