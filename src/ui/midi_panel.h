#pragma once

#include <QGroupBox>

class QComboBox;
class QLabel;
class QToolButton;

namespace tavrelia {

class MidiLink;
class TBaseForm;
class ElidedLabel;

// The group "MIDI" on the options tab: the surfaces found, the map's bad lines, and
// learn mode: choose a control (in the list, or by clicking it in the window while
// learning), move the surface's control, and the binding is stored.
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
    void showDevices();
    void showBinding();
    void learnToggled(bool on);
    void stored(const QString& name, const QString& binding, bool written);

    TBaseForm& form_;
    MidiLink& midi_;
    ElidedLabel* devices_ = nullptr;
    ElidedLabel* faults_ = nullptr;
    QComboBox* control_ = nullptr;
    QToolButton* learn_ = nullptr;
    QLabel* binding_ = nullptr;
};

}  // namespace tavrelia
