#include "block_copy_panel.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "base_form.h"
#include "console.h"
#include "dialogs.h"
#include "undo_buttons.h"

namespace tavrelia {

namespace {
QLabel* caption(QWidget* parent, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}
}  // namespace

SceneList::Channels BlockCopyPanel::ChannelInputs::value() const
{
    return {first->value(), last->value(), to->value()};
}

BlockCopyPanel::BlockCopyPanel(TBaseForm& form)
    : QWidget(form.inputPage(TBaseForm::InputTab::Kopirovanie)),
      form_(form),
      list_(form.console().sceneList)
{
    setObjectName(QStringLiteral("BlockCopyPanel"));
    auto* groups = new QVBoxLayout(this);
    groups->setContentsMargins(0, 0, 0, 0);

    QGroupBox* current = group("Каналов текущей Сцены ");
    auto* grid = static_cast<QGridLayout*>(current->layout());
    currentScene_ = channelRow(grid, 0, "SpinEditLevelFirst", "SpinEditLevelLast", "SpinEditLevelFrom");
    auto* copyCurrent = copyButton("SpeedButtonLevelBlocCopy",
                                   QStringLiteral("Копировать уровни каналов в текущей сцене"));
    grid->addWidget(copyCurrent, 0, 6);
    connect(copyCurrent, &QToolButton::clicked, this, &BlockCopyPanel::SpeedButtonLevelBlocCopyClick);

    QGroupBox* all = group("Каналов (все сцены)");
    grid = static_cast<QGridLayout*>(all->layout());
    allScenes_ = channelRow(grid, 0, "SpinEditChBeg", "SpinEditChFin", "SpinEditChTo");
    auto* copyAll = copyButton("SpeedButtonLevelJobScens",
                               QStringLiteral("Копировать уровни каналов во всех сценах"));
    grid->addWidget(copyAll, 0, 6);
    connect(copyAll, &QToolButton::clicked, this, &BlockCopyPanel::SpeedButtonLevelJobScensClick);

    QGroupBox* inScenes = group("Каналов в сценах");
    grid = static_cast<QGridLayout*>(inScenes->layout());
    auto* copyEvery = copyButton(
        "SpeedButtonScenAllCopy",
        QStringLiteral("Копировать каналы группы «Каналов (все сцены)» во всех сценах; "
                       "копия может перейти в следующую сцену"));
    grid->addWidget(copyEvery, 0, 0, 1, 2, Qt::AlignLeft);
    connect(copyEvery, &QToolButton::clicked, this, &BlockCopyPanel::SpeedButtonScenAllCopyClick);
    rangeChannels_ = channelRow(grid, 1, "SpinEditAllScChbeg", "SpinEditAllScChFin", "SpinEditAllScChTo");
    grid->addWidget(caption(inScenes, QStringLiteral("Сцены с")), 2, 0);
    rangeFirst_ = spin("SpinEditAllScChbegSc", 1, 255, 1);
    grid->addWidget(rangeFirst_, 2, 1);
    grid->addWidget(caption(inScenes, QStringLiteral("по")), 2, 2);
    rangeLast_ = spin("SpinEditAllScChFinSc", 1, 255, 10);
    grid->addWidget(rangeLast_, 2, 3);
    grid->addWidget(caption(inScenes, QStringLiteral("сдвиг")), 2, 4);
    rangeOffset_ = spin("SpinEditAllScChToSc", 1, 255, 11);
    grid->addWidget(rangeOffset_, 2, 5);

    QGroupBox* scenes = group("Сцен (все каналы)");
    auto* copyScenes = copyButton(
        "SpeedButtonScenaBlocCopy",
        QStringLiteral("Копировать каналы в сценах, заданных в группе «Каналов в сценах»"));
    static_cast<QGridLayout*>(scenes->layout())->addWidget(copyScenes, 0, 0, Qt::AlignLeft);
    connect(copyScenes, &QToolButton::clicked, this, &BlockCopyPanel::SpeedButtonScenaBlocCopyClick);

    auto* memory = new QHBoxLayout;
    addUndoButtons(form_, memory, 5);
    memory->addStretch(1);
    groups->addLayout(memory);
    groups->addStretch(1);
    parentWidget()->layout()->addWidget(this);
}

QGroupBox* BlockCopyPanel::group(const char* title)
{
    auto* box = new QGroupBox(QString::fromUtf8(title), this);
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(6);
    grid->setColumnStretch(7, 1);
    layout()->addWidget(box);
    return box;
}

QSpinBox* BlockCopyPanel::spin(const char* name, int min, int max, int value)
{
    auto* box = new QSpinBox(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(min, max);
    box->setValue(value);
    return box;
}

BlockCopyPanel::ChannelInputs BlockCopyPanel::channelRow(QGridLayout* grid, int row,
                                                         const char* first, const char* last,
                                                         const char* to)
{
    ChannelInputs inputs{spin(first, 1, 254, 1), spin(last, 1, 255, 10), spin(to, 1, 255, 11)};
    QWidget* box = grid->parentWidget();
    grid->addWidget(caption(box, QStringLiteral("Каналы с")), row, 0);
    grid->addWidget(inputs.first, row, 1);
    grid->addWidget(caption(box, QStringLiteral("по")), row, 2);
    grid->addWidget(inputs.last, row, 3);
    grid->addWidget(caption(box, QStringLiteral("в канал")), row, 4);
    grid->addWidget(inputs.to, row, 5);
    return inputs;
}

QToolButton* BlockCopyPanel::copyButton(const char* name, const QString& hint)
{
    auto* button = new QToolButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(QStringLiteral("Копировать"));
    button->setToolTip(hint);
    return button;
}

void BlockCopyPanel::report(SceneList::CopyResult result)
{
    switch (result) {
    case SceneList::CopyResult::Done:
        break;
    case SceneList::CopyResult::TooManyChannels:
        Dialogs::current().warning(
            &form_, QStringLiteral(" Копирование не выполнено:Максимальное число каналов > 256 ! "));
        break;
    case SceneList::CopyResult::TooManyScenes:
        Dialogs::current().warning(
            &form_, QStringLiteral(" Копирование не выполнено:Максимальное число сцен > 256 ! "));
        break;
    }
}

void BlockCopyPanel::SpeedButtonLevelBlocCopyClick()
{
    report(list_.copyChannelsInCurrentScene(currentScene_.value()));
}

void BlockCopyPanel::SpeedButtonLevelJobScensClick()
{
    report(list_.copyChannelsInAllScenes(allScenes_.value()));
}

void BlockCopyPanel::SpeedButtonScenAllCopyClick()
{
    report(list_.copyChannelsInEveryScene(allScenes_.value()));
}

void BlockCopyPanel::SpeedButtonScenaBlocCopyClick()
{
    report(list_.copyChannelsInSceneRange(
        rangeChannels_.value(), {rangeFirst_->value(), rangeLast_->value(), rangeOffset_->value()}));
}

}  // namespace tavrelia
