#pragma once

#include <QGroupBox>

#include "output/interface_settings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace tavrelia {

class Console;
class ElidedLabel;
class TBaseForm;

// The group "Состояние шины USB " on the options tab: what the enumeration found,
// the demo box and the choice of interface backend; and the once-a-second display
// of the link state in the caption prefix and status panel 0 (run by the show clock).
class UsbStatePanel : public QGroupBox {
    Q_OBJECT
public:
    explicit UsbStatePanel(TBaseForm& form);

    // Start-up: the backend from the settings file and what the link found.
    void startUp();
    // CaptionPrefix and status panel 0 from the link state.
    void showLinkState();

private:
    void buildControls();
    void showSettings(const InterfaceSettings& settings);
    void showListTexts();
    void applyInterface(const InterfaceSettings& settings);
    void showProblems();
    void interfaceEdited();
    void CheckBoxNoUSBconnectClick(bool checked);

    TBaseForm& form_;
    Console& console_;
    InterfaceSettings settings_;
    QLabel* labelKolvoUsb_ = nullptr;
    QLabel* labelTipFtdi_ = nullptr;
    QLabel* labelUsbNomber_ = nullptr;
    QCheckBox* checkBoxNoUsbConnect_ = nullptr;
    QComboBox* comboBoxInterface_ = nullptr;
    QLineEdit* editSerialDevice_ = nullptr;
    QSpinBox* spinOlaUniverse_ = nullptr;
    ElidedLabel* labelProblems_ = nullptr;
};

}  // namespace tavrelia
