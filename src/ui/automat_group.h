#pragma once

#include <array>

#include <QGroupBox>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QScrollBar;

namespace tavrelia {

class Automat;
class ColorSwatch;
class TBaseForm;

// One automat's group on the tab "Автоматы": speed, first channel, effect, bright
// and dark levels, how it runs, its timer lamp, step and the grey shapes of its four
// channels.
class AutomatGroup : public QGroupBox {
    Q_OBJECT
public:
    AutomatGroup(TBaseForm& form, Automat& automat);

    // The controls from the show; a stored value outside a bar's range is put into
    // it and written back.
    void ReturnAvtomat();
    void DisplayAvtomat();

private:
    QScrollBar* addBar(Qt::Orientation orientation, const QString& name, int max, int value,
                       const QString& hint);
    QLabel* addLabel(const QString& name, const QString& text);
    QLayout* buildEffectButtons();
    QLayout* buildShapes();
    QLayout* buildLevelBars();
    QCheckBox* addRunBox(const QString& name, const QString& text, const QString& hint);
    void showTick(bool stepped);
    void ScrollBarChannelAvtomatChange(int position);

    TBaseForm& form_;
    Automat& automat_;
    QWidget* page_ = nullptr;
    QScrollBar* speedBar_ = nullptr;
    QScrollBar* channelBar_ = nullptr;
    QScrollBar* brightBar_ = nullptr;
    QScrollBar* darkBar_ = nullptr;
    QLabel* labelTemp_ = nullptr;
    QLabel* labelChannels_ = nullptr;
    QLabel* labelName_ = nullptr;
    QLabel* labelStep_ = nullptr;
    QButtonGroup* effects_ = nullptr;
    ColorSwatch* lamp_ = nullptr;
    std::array<ColorSwatch*, 4> shapes_{};
};

}  // namespace tavrelia
