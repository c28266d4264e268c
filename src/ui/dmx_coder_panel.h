#pragma once

#include <array>

#include <QWidget>

#include "output/output_controls.h"

class QButtonGroup;
class QGridLayout;
class QLabel;
class QScrollBar;
class QToolButton;

namespace tavrelia {

class Console;
class TBaseForm;

// The tab "DMX coder": thirty rows of the recoding table at a time, each routing a
// source channel to an output slot, with step presets, reset, and table files.
class DmxCoderPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRows = 30;

    explicit DmxCoderPanel(TBaseForm& form);

    // Rows show entries p + 1 .. p + 30, p the position bar. A bar clamps an entry it
    // cannot show, and its change handler stores the clamped source.
    void UpDateDmxCoder();
    // The move of one click in the track of every row bar.
    void SpeedButtonLarge(int step);

private:
    struct Row {
        QScrollBar* bar = nullptr;
        QLabel* label = nullptr;
    };

    void buildRow(int j, QGridLayout* grid);
    QWidget* buildButtonColumn();
    QToolButton* addButton(const QString& name, const QString& caption, const QString& hint);
    void ScrollBarCoderChange(int j, int position);
    void showLabel(int j);
    int firstEntry() const;
    void SpeedButtonResetCoderClick();
    void SpeedButtonOpenCoderTabClick();
    void SpeedButtonSaveCoderTabClick();

    TBaseForm& form_;
    Console& console_;
    OutputControls controls_;
    QScrollBar* scrollBarCoderPos_ = nullptr;
    std::array<Row, kRows> rows_{};
    QButtonGroup* stepGroup_ = nullptr;
};

}  // namespace tavrelia
