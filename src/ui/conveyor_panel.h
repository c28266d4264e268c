#pragma once

#include <array>

#include <QGroupBox>

#include "playback/conveyor.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QToolButton;

namespace tavrelia {

class Controls;
class TBaseForm;

// The group "Конвейр потоков Шоу ": twenty show buttons bound with the right mouse
// button, the four modes, and the switch of the conveyor keys.
class ConveyorPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit ConveyorPanel(TBaseForm& form);

    // The right mouse button on button n = 1..20: a show file for it.
    void SpeedButtonMouseDown(int n);
    void SpeedButtonKonvNewClick();
    // A key of the window's keyboard handling: the job of its conveyor button, when
    // the conveyor keys are on. False when the key is no conveyor key or they are off.
    bool keyDown(int virtualKey);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildButtons();
    void buildModes();
    QToolButton* modeButton(const char* name, const QString& caption, const char* hint,
                            Conveyor::Mode mode);
    void showState();
    // The caption in the group's font, or smaller when it is too wide for its button.
    void fitCaption(QToolButton* button, bool bold);
    void showLoad(const FileResult& result);

    TBaseForm& form_;
    Conveyor& conveyor_;
    Controls& live_;
    std::array<QToolButton*, Conveyor::kButtons> buttons_{};
    std::array<QToolButton*, 4> modes_{};
    QLabel* labelKonveyr_ = nullptr;
    QCheckBox* keys_ = nullptr;
};

}  // namespace tavrelia
