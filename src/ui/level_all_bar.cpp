#include "level_all_bar.h"

#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

#include "base_form.h"
#include "console.h"

namespace tavrelia {

LevelAllBar::LevelAllBar(TBaseForm& form)
    : QWidget(form.ustPage(TBaseForm::UstTab::Urovni)), console_(form.console())
{
    setObjectName(QStringLiteral("LevelAllBar"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    auto* label = new QLabel(QStringLiteral("Изменение выделенных уровней"), this);
    label->setObjectName(QStringLiteral("LabelLevelAll"));
    layout->addWidget(label);
    bar_ = new QScrollBar(Qt::Horizontal, this);
    bar_->setObjectName(QStringLiteral("ScrollBarLevelAll"));
    bar_->setRange(0, 255);
    bar_->setValue(127);
    bar_->setPageStep(16);
    bar_->setToolTip(QStringLiteral("Общий абсолютный уровень каналов"));
    connect(bar_, &QScrollBar::valueChanged, this, &LevelAllBar::ScrollBarLevelAllChange);
    layout->addWidget(bar_);
    // First on the tab, whichever panel came first.
    static_cast<QVBoxLayout*>(parentWidget()->layout())->insertWidget(0, this);
}

void LevelAllBar::ScrollBarLevelAllChange(int position)
{
    console_.desk.CheckBoxToMemory();
    console_.outputControls.setSelectedLevels(static_cast<uint8_t>(position));
    // The desk's faders follow the levels just set.
    console_.live.reloadDesk();
}

}  // namespace tavrelia
