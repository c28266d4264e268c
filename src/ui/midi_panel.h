#pragma once

#include <QGroupBox>

class QComboBox;
class QLabel;
class QToolButton;

namespace tavrelia {

class Console;
class MidiLink;
class TBaseForm;
class ElidedLabel;

// The group "MIDI" on the options tab: MIDI switched on and off (the box in its
// title, [MIDI] Enabled), the surfaces found, the map's bad lines, and learn mode:
// choose a control (in the list, or by clicking it in the window while learning),
// move the surface's control, and the binding is stored.
class MidiPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit MidiPanel(TBaseForm& form);

    // The control a click in the window chooses: the widget's, or its parent's.
    static QString controlOf(const QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void startUp();
    void enabledClicked(bool on);
    // The link while MIDI runs, or null; its signals taken the first time.
    MidiLink* link();
    void showState();
    void showDevices();
    void showBinding();
    void learnToggled(bool on);
    void stored(const QString& name, const QString& binding, bool written);

    TBaseForm& form_;
    Console& console_;
    MidiLink* linked_ = nullptr;
    ElidedLabel* devices_ = nullptr;
    ElidedLabel* faults_ = nullptr;
    QComboBox* control_ = nullptr;
    QToolButton* learn_ = nullptr;
    QLabel* binding_ = nullptr;
};

}  // namespace tavrelia
