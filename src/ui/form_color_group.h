#pragma once

#include <array>

#include <QGroupBox>

class QCheckBox;
class QScrollBar;

namespace tavrelia {

class TBaseForm;
class WindowColor;

// The group "Цвет формы" on the options tab: the main window's colour, kept in the
// show, and its automatic change at every Save As.
class FormColorGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit FormColorGroup(TBaseForm& form);

    // The controls and the window from the show's colour.
    void SetColorAll();
    void CheckBoxColorZamokClick();
    // ScrollBarRed, ScrollBarGreen, ScrollBarBlue: component 0, 1, 2.
    void colorBarChange(int component);
    void SaveAsColorStep();

private:
    void paint(QWidget* widget, const QColor& color);

    TBaseForm& form_;
    WindowColor& color_;
    std::array<QScrollBar*, 3> bars_{};
    QCheckBox* zamok_ = nullptr;
    QCheckBox* avto_ = nullptr;
};

}  // namespace tavrelia
