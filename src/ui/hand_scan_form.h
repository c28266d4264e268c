#pragma once

#include <QWidget>

#include "view3d/hand_scan.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QScrollBar;

namespace tavrelia {

class ColorSwatch;
class HandScanPad;
class TBaseForm;

// The hand scan window: the operator aims scanners with the mouse on a pad, and with
// "Приоритет" checked the pad owns the selected channel pairs on the output for as
// long as this window is the active one. Its second face edits the start code.
class THandScanForm : public QWidget {
    Q_OBJECT
public:
    enum class Mode { Pad, ZeroChannel };

    explicit THandScanForm(TBaseForm& form);

    // Menu "Поле для ручного управления лучем сканера" and SpeedButtonAREA.
    void AreaItemClick();
    // The start code face. No control of the main window opens it.
    void ZeroDmxItemClick();

    void FormActivate();
    void FormDeactivate();
    void CheckBoxManualAreaClick(bool checked);
    void ScrollBarZeroChange(int position);

protected:
    void changeEvent(QEvent* event) override;

private:
    void buildPadGroup();
    void buildZeroGroup();
    void hookIntoMainWindow();
    void openAs(Mode mode, const QColor& colour);
    void dropPriority();
    void showMode();
    HandScan::Options options() const;
    void showResult(const HandScan::Result& result);

    TBaseForm& form_;
    HandScan& handScan_;
    Mode mode_ = Mode::Pad;
    QGroupBox* groupBoxXY_ = nullptr;
    QGroupBox* groupBoxZero_ = nullptr;
    HandScanPad* shapeXY_ = nullptr;
    ColorSwatch* shapeCentr_ = nullptr;
    QCheckBox* checkBoxX_ = nullptr;
    QCheckBox* checkBoxY_ = nullptr;
    QCheckBox* checkBoxXY_ = nullptr;
    QCheckBox* checkBoxManualArea_ = nullptr;
    QScrollBar* scrollBarZero_ = nullptr;
    QLabel* labelZero_ = nullptr;
};

}  // namespace tavrelia
