#pragma once

#include <QGroupBox>

#include <array>

#include "surfaces/osc_settings.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTimer;

namespace tavrelia {

class OscServer;
class TBaseForm;

// The group "OSC" on the options tab: OSC over UDP switched on and off, its port,
// address and fixed feedback target (kept in Tavrelia.conf), and what it has taken
// and dropped.
class OscPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit OscPanel(TBaseForm& form);

    // Start-up: the settings from the file, and the server started when enabled.
    void startUp();
    // Close sequence.
    void closeDown();

private:
    void buildControls();
    void showSettings(const OscSettings& settings);
    void settingsEdited();
    void apply(const OscSettings& settings);
    void showCounts();
    QSpinBox* portBox(const char* name, int minimum);
    QLabel* twoLineLabel(const char* name);

    OscServer& server_;
    OscSettings settings_;
    QCheckBox* checkBoxEnabled_ = nullptr;
    QSpinBox* spinPort_ = nullptr;
    QLineEdit* editAddress_ = nullptr;
    QLineEdit* editFeedbackHost_ = nullptr;
    QSpinBox* spinFeedbackPort_ = nullptr;
    QLabel* labelState_ = nullptr;
    std::array<QLabel*, 7> countLabels_{};   // received, applied, malformed, unknown, refused, sent, clients
    QLabel* labelLastFault_ = nullptr;
    QTimer* countsTimer_ = nullptr;
};

}  // namespace tavrelia
