#pragma once

#include <QObject>

class QButtonGroup;
class QCheckBox;
class QTimer;
class QToolButton;

namespace tavrelia {

class ChannelDeskPanel;
class Console;
class Controls;
class TBaseForm;

// Blackout: the box CheckBoxBlackOut on the tab "Уровни" and, in the desk's button
// column, the exclusive buttons for normal output, blackout and blackout with picture M.
// The blackout button blinks while the box is checked, as the output tick says.
class BlackOutGroup : public QObject {
    Q_OBJECT
public:
    static constexpr int kBlinkPollMs = 25;   // twice per tick, so no blink is missed

    BlackOutGroup(TBaseForm& form, ChannelDeskPanel& desk);

private:
    QToolButton* addButton(ChannelDeskPanel& desk, const char* name, const QString& caption,
                           const QString& hint);
    void CheckBoxBlackOutClick(bool checked);
    void showBlink();
    // The macro button follows the control, however it was pressed.
    void showMacro(bool down);

    Console& console_;
    Controls& live_;
    QCheckBox* checkBoxBlackOut_ = nullptr;
    QToolButton* speedButtonOnScena_ = nullptr;
    QToolButton* speedButtonBlackOut_ = nullptr;
    QToolButton* speedButtonMacrosOut_ = nullptr;
    QButtonGroup* group_ = nullptr;
    QTimer* blinkTimer_ = nullptr;
};

}  // namespace tavrelia
