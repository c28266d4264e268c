#pragma once

#include <QGroupBox>

class QCheckBox;
class QGridLayout;
class QSpinBox;

namespace tavrelia {

class TBaseForm;

// The group "Имен " on the tab "Копирование": copies a block of channel names for
// repeated devices, numbered and marked.
class NameBlockCopyPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit NameBlockCopyPanel(TBaseForm& form);

    void ButtonNameBlocCopyClick();
    void SpinEditNameFirstChange();
    void SpinEditNameLastChange();
    void SpinEditNameFromChange();

private:
    QSpinBox* spin(QGridLayout* grid, int row, int column, const char* name, int max, int value);
    QCheckBox* check(const char* name, const char* caption);

    TBaseForm& form_;
    QSpinBox* first_ = nullptr;
    QSpinBox* last_ = nullptr;
    QSpinBox* from_ = nullptr;
    QSpinBox* repeat_ = nullptr;
    QSpinBox* digit_ = nullptr;
    QCheckBox* numberCopies_ = nullptr;
    QCheckBox* markFirst_ = nullptr;
    QCheckBox* link_ = nullptr;
};

}  // namespace tavrelia
