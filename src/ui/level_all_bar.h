#pragma once

#include <QWidget>

class Console;

class QScrollBar;

namespace tavrelia {

class TBaseForm;

// ScrollBarLevelAll on the tab "Уровни": sets every selected channel of the current
// scene to the bar's level, also while the show plays.
class LevelAllBar : public QWidget {
    Q_OBJECT
public:
    explicit LevelAllBar(TBaseForm& form);

private:
    void ScrollBarLevelAllChange(int position);

    Console& console_;
    QScrollBar* bar_ = nullptr;
};

}  // namespace tavrelia
