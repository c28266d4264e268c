#pragma once

#include <QWidget>

#include "playback/sequencer.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QScrollBar;
class QTimer;
class QToolButton;

namespace tavrelia {

class ColorSwatch;
class Console;
class Controls;
class TBaseForm;

// The sequencer's controls on the tab "Секвенсер": tempo, play and stop, the show
// clock, the beat lamp and the start-scene preset.
class SequencerPanel : public QWidget {
    Q_OBJECT
public:
    explicit SequencerPanel(TBaseForm& form);

    void ScrollBarTempChange(int position);
    void SpeedButtonPlayClick();
    void SpeedButtonPlayDblClick();
    void SpeedButtonStopClick();
    void TimerShouClockTimer();
    void TimerColorLentaTempaTimer();
    void ScrollBarScenHandChange(int position);
    void SpeedButtonScenHandClick();
    // The tempo step of the window refresh.
    void ReturnTempo();
    // The step of the desk's refresh: Stop shows down whenever the show is not
    // playing, whatever stopped it.
    void showStopWhenNotPlaying();

signals:

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTempoRow();
    void buildModeRow();
    void buildClockRow();
    void buildPresetRow();
    void addBeatFollow(QHBoxLayout* row);
    void addBeatLamp(QHBoxLayout* row);
    void showBeat(BeatLamp lamp);
    void flashBeat();
    void showBeatTempo(double bpm);
    void showMode(bool playing);

    TBaseForm& form_;
    Console& console_;
    Sequencer& sequencer_;
    Controls& live_;
    QScrollBar* tempBar_ = nullptr;
    QLabel* labelTemp_ = nullptr;
    QToolButton* stopButton_ = nullptr;
    QToolButton* playButton_ = nullptr;
    QButtonGroup* modeGroup_ = nullptr;
    ColorSwatch* lamp_ = nullptr;
    ColorSwatch* beatLamp_ = nullptr;
    QLabel* beatTempo_ = nullptr;
    QTimer* beatLampTimer_ = nullptr;
    QCheckBox* ring_ = nullptr;
    QLabel* labelTimeShou_ = nullptr;
    QLabel* labelTimePause_ = nullptr;
    QScrollBar* presetBar_ = nullptr;
    QLabel* labelPreset_ = nullptr;
    QTimer* lampTimer_ = nullptr;
    QTimer* clockTimer_ = nullptr;
};

}  // namespace tavrelia
