#pragma once

#include <QWidget>

#include "output/output_controls.h"

class QScrollBar;

namespace tavrelia {

class ChannelDeskPanel;
class TBaseForm;

// ScrollBarLevelAll on the tab "Уровни": sets every selected channel of the current
// scene to the bar's level, also while the show plays.
class LevelAllBar : public QWidget {
    Q_OBJECT
public:
    LevelAllBar(TBaseForm& form, ChannelDeskPanel& desk);

private:
    void ScrollBarLevelAllChange(int position);

    ChannelDeskPanel& desk_;
    OutputControls controls_;
    QScrollBar* bar_ = nullptr;
};

}  // namespace tavrelia
