#include "transition_mode_group.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLayout>
#include <QRadioButton>

#include "base_form.h"
#include "console.h"

namespace tavrelia {

TransitionModeGroup::TransitionModeGroup(TBaseForm& form)
    : QGroupBox(QStringLiteral("Плавность перехода  сцен "),
                form.ustPage(TBaseForm::UstTab::Plavnost)),
      controls_(form.console().outputControls)
{
    setObjectName(QStringLiteral("RadioGroupRate"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 2, 6, 2);
    grid->setVerticalSpacing(0);
    items_ = new QButtonGroup(this);
    const char* const kItems[] = {"Фейдера", "Автомат", "Выкл"};
    for (int i = 0; i < 3; ++i) {
        auto* item = new QRadioButton(QString::fromUtf8(kItems[i]), this);
        item->setObjectName(QStringLiteral("RadioGroupRateItem%1").arg(i));
        items_->addButton(item, i);
        // Two columns, filled top to bottom.
        grid->addWidget(item, i % 2, i / 2);
    }
    items_->button(OutputEngine::Fadera)->setChecked(true);
    controls_.setTransitionMode(OutputEngine::Fadera);
    connect(items_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            controls_.setTransitionMode(id);
    });
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    parentWidget()->layout()->addWidget(this);
}

}  // namespace tavrelia
