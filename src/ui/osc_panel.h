#pragma once

#include <QGroupBox>

#include <array>

#include "surfaces/osc_settings.h"

class QLabel;
class QLineEdit;
class QSpinBox;
class QTimer;

namespace tavrelia {

class ElidedLabel;
class Console;
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
    // One line, never wider than the group, so that the group keeps its size.
    ElidedLabel* lineLabel(const char* name);

    Console& console_;
    OscSettings settings_;
    QSpinBox* spinPort_ = nullptr;
    QLineEdit* editAddress_ = nullptr;
    QLineEdit* editFeedbackHost_ = nullptr;
    QSpinBox* spinFeedbackPort_ = nullptr;
    ElidedLabel* labelState_ = nullptr;
    std::array<QLabel*, 7> countLabels_{};   // received, applied, malformed, unknown, refused, sent, clients
    ElidedLabel* labelLastFault_ = nullptr;
    QTimer* countsTimer_ = nullptr;
};

}  // namespace tavrelia
