#pragma once

#include <QGroupBox>

#include <array>

#include "surfaces/osc_settings.h"

class QLabel;
class QLineEdit;
class QSpinBox;
class QTimer;

namespace tavrelia {

class Console;
class WrappedLabel;
class TBaseForm;

// The group "OSC" on the options tab: OSC over UDP switched on and off (the box in
// its title), its port, address and fixed feedback target (kept in Tavrelia.conf),
// and what it has taken and dropped.
class OscPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit OscPanel(TBaseForm& form);

    // Start-up: the settings from the file and what the connection does.
    void startUp();

private:
    void buildControls();
    void showSettings(const OscSettings& settings);
    void settingsEdited();
    void showState();
    void showCounts();
    QSpinBox* portBox(const char* name, int minimum);
    WrappedLabel* messageLabel(const char* name);

    Console& console_;
    OscSettings settings_;
    QSpinBox* spinPort_ = nullptr;
    QLineEdit* editAddress_ = nullptr;
    QLineEdit* editFeedbackHost_ = nullptr;
    QSpinBox* spinFeedbackPort_ = nullptr;
    WrappedLabel* labelState_ = nullptr;
    std::array<QLabel*, 7> countLabels_{};   // received, applied, malformed, unknown, refused, sent, clients
    WrappedLabel* labelLastFault_ = nullptr;
    QTimer* countsTimer_ = nullptr;
};

}  // namespace tavrelia
