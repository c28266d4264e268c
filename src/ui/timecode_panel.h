#pragma once

#include <QGroupBox>

class QCheckBox;
class QComboBox;
class QLabel;
class QToolButton;

namespace tavrelia {

class Console;
class ElidedLabel;
class TBaseForm;
class TimecodeListWindow;

// The group "Таймкод" on the options tab: the source ([Timecode] Source=, none, MIDI
// timecode or LTC), the time as it comes in with its rate and state, chasing and
// recording the show's timecode list, and the list's own window (its table).
class TimecodePanel : public QGroupBox {
    Q_OBJECT
public:
    explicit TimecodePanel(TBaseForm& form);

private:
    void sourceChosen(int index);
    void showSource();
    void showTime();
    void showList();
    void openList();

    Console& console_;
    QComboBox* source_ = nullptr;
    QLabel* time_ = nullptr;
    QLabel* rate_ = nullptr;
    QLabel* state_ = nullptr;
    QCheckBox* chase_ = nullptr;
    QCheckBox* record_ = nullptr;
    QToolButton* list_ = nullptr;
    ElidedLabel* problems_ = nullptr;
    TimecodeListWindow* window_ = nullptr;
};

}  // namespace tavrelia
