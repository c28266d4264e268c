#include "name_block_copy_panel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "base_form.h"
#include "console.h"
#include "dialogs.h"

namespace tavrelia {

NameBlockCopyPanel::NameBlockCopyPanel(TBaseForm& form)
    : QGroupBox(QStringLiteral("Имен "), form.inputPage(TBaseForm::InputTab::Kopirovanie)), form_(form)
{
    setObjectName(QStringLiteral("GroupBoxName"));
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(6);
    const auto text = [this, grid](int row, int column, const char* caption) {
        auto* label = new QLabel(QString::fromUtf8(caption), this);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(label, row, column);
    };
    text(0, 0, " От канала ");
    first_ = spin(grid, 0, 1, "SpinEditNameFirst", 254, 1);
    text(0, 2, "До канала ");
    last_ = spin(grid, 0, 3, "SpinEditNameLast", 255, 10);
    text(0, 4, "включительно");
    text(1, 0, "Начиная ");
    text(1, 2, "с канала ");
    from_ = spin(grid, 1, 3, "SpinEditNameFrom", 254, 11);
    text(2, 0, "Колво приборов");
    repeat_ = spin(grid, 2, 1, "SpinEditRepeatName", 8, 1);
    text(2, 2, "Первая цифра");
    digit_ = spin(grid, 2, 3, "SpinEditFifsrtDigit", 8, 2);

    numberCopies_ = check("CheckBoxNamePlus", "+ Namber Name");
    markFirst_ = check("CheckBoxbEGcH", "Отмечать первый канал");
    link_ = check("CheckBoxTogmame", "Связать");
    grid->addWidget(numberCopies_, 3, 0, 1, 2);
    grid->addWidget(markFirst_, 3, 2, 1, 2);
    grid->addWidget(link_, 1, 4);

    auto* copy = new QToolButton(this);
    copy->setObjectName(QStringLiteral("SpeedButtonNameBlocCopy"));
    copy->setText(QStringLiteral("Копировать"));
    copy->setToolTip(QStringLiteral("Выполнить копирование"));
    grid->addWidget(copy, 3, 4);
    grid->setColumnStretch(5, 1);

    connect(first_, &QSpinBox::valueChanged, this, &NameBlockCopyPanel::SpinEditNameFirstChange);
    connect(last_, &QSpinBox::valueChanged, this, &NameBlockCopyPanel::SpinEditNameLastChange);
    connect(from_, &QSpinBox::valueChanged, this, &NameBlockCopyPanel::SpinEditNameFromChange);
    connect(copy, &QToolButton::clicked, this, &NameBlockCopyPanel::ButtonNameBlocCopyClick);
    parentWidget()->layout()->addWidget(this);
}

QSpinBox* NameBlockCopyPanel::spin(QGridLayout* grid, int row, int column, const char* name,
                                   int max, int value)
{
    auto* box = new QSpinBox(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(1, max);
    box->setValue(value);
    grid->addWidget(box, row, column);
    return box;
}

QCheckBox* NameBlockCopyPanel::check(const char* name, const char* caption)
{
    auto* box = new QCheckBox(QString::fromUtf8(caption), this);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(true);
    return box;
}

void NameBlockCopyPanel::SpinEditNameFirstChange()
{
    if (first_->value() >= last_->value())
        last_->setValue(first_->value());
}

void NameBlockCopyPanel::SpinEditNameLastChange()
{
    if (first_->value() >= last_->value())
        last_->setValue(first_->value());
    SpinEditNameFromChange();
}

void NameBlockCopyPanel::SpinEditNameFromChange()
{
    if (link_->isChecked() && from_->value() <= last_->value() + 1)
        from_->setValue(last_->value() + 1);
}

void NameBlockCopyPanel::ButtonNameBlocCopyClick()
{
    const NameBlockCopy::Outcome outcome = form_.console().nameBlockCopy.ButtonNameBlocCopyClick(
        {first_->value(), last_->value(), from_->value(), repeat_->value(), digit_->value(),
         numberCopies_->isChecked(), markFirst_->isChecked()});
    if (outcome.refused) {
        Dialogs::current().warning(
            &form_, QStringLiteral(" Копирование не выполнено: Максимальное число имен > 256 ! "));
    } else {
        from_->setValue(outcome.from);
        digit_->setValue(outcome.digit);
    }
}

}  // namespace tavrelia
