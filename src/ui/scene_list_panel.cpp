#include "scene_list_panel.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "base_form.h"
#include "console.h"
#include "scene_icons.h"
#include "channel_desk_panel.h"
#include "undo_buttons.h"

namespace tavrelia {

namespace {
constexpr int kButtonIcon = 22;

QLabel* caption(QWidget* parent, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

template <typename Button>
Button* sceneButton(QWidget* parent, const char* name, const QString& hint, SceneGlyph glyph)
{
    auto* button = new Button(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(hint);
    button->setIcon(sceneIcon(glyph));
    button->setIconSize(QSize(kButtonIcon, kButtonIcon));
    return button;
}
}  // namespace

SceneListPanel::SceneListPanel(TBaseForm& form, ChannelDeskPanel& desk)
    : QWidget(form.tempPage(TBaseForm::TempTab::Sekvenser)),
      form_(form),
      console_(form.console()),
      list_(form.console().sceneList)
{
    setObjectName(QStringLiteral("SceneListPanel"));
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(3);
    buildSceneBar();
    buildSceneButtons();
    parentWidget()->layout()->addWidget(this);
    buildMenus();
    buildToolButtons();
    addUndoButtons(form_, desk.buttonColumn(), 1);

    connect(&console_.sequencer, &Sequencer::modeChanged, this, &SceneListPanel::showMode);
    connect(&list_, &SceneList::status, &form_, &TBaseForm::OutStatus);
    connect(&form_, &TBaseForm::dataSystemRefresh, this, &SceneListPanel::ReturnSceneControls);
    connect(&form_, &TBaseForm::showCleared, &list_, &SceneList::discardUndo);
    connect(&form_, &TBaseForm::showLoaded, &list_, &SceneList::discardUndo);
}

void SceneListPanel::buildSceneBar()
{
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    row->addWidget(caption(this, QStringLiteral("Сцена")));
    labelStep_ = new QLabel(QStringLiteral("1"), this);
    labelStep_->setObjectName(QStringLiteral("LabelStep"));
    labelStep_->setToolTip(QStringLiteral("Номер текущей сцены"));
    labelStep_->setMinimumWidth(labelStep_->fontMetrics().horizontalAdvance(QStringLiteral("256")));
    QFont bold = labelStep_->font();
    bold.setBold(true);
    labelStep_->setFont(bold);
    row->addWidget(labelStep_);

    stepBar_ = new QScrollBar(Qt::Horizontal, this);
    stepBar_->setObjectName(QStringLiteral("ScrollBarStep"));
    stepBar_->setRange(0, 2);
    stepBar_->setPageStep(1);
    stepBar_->setFixedHeight(17);
    stepBar_->setToolTip(QStringLiteral("Установка текущей сцены"));
    connect(stepBar_, &QScrollBar::valueChanged, this, &SceneListPanel::ScrollBarStepChange);
    row->addWidget(stepBar_, 1);

    row->addWidget(caption(this, QStringLiteral("из")));
    labelCoda_ = new QLabel(QStringLiteral("2"), this);
    labelCoda_->setObjectName(QStringLiteral("LabelCoda"));
    labelCoda_->setToolTip(QStringLiteral("Максимальное кол-во сцен"));
    labelCoda_->setMinimumWidth(labelStep_->minimumWidth());
    row->addWidget(labelCoda_);
    static_cast<QVBoxLayout*>(layout())->addLayout(row);
}

void SceneListPanel::buildSceneButtons()
{
    auto* row = new QHBoxLayout;
    row->setSpacing(3);
    newScene_ = sceneButton<QToolButton>(this, "SpeedButtonNewScena",
                                         QStringLiteral("Создать новую сцену после текущей"),
                                         SceneGlyph::Insert);
    copyScene_ = sceneButton<QToolButton>(this, "SpeedButtonScenaCopy",
                                          QStringLiteral("Копировать текущую сцену в буфер"),
                                          SceneGlyph::CopyToBuffer);
    pasteNew_ = sceneButton<QToolButton>(this, "SpeedButtonNewScenaPaste", QString(),
                                         SceneGlyph::PasteNew);
    paste_ = sceneButton<QPushButton>(this, "ButtonScenaPaste", QString(), SceneGlyph::PasteReplace);
    deleteScene_ = sceneButton<QToolButton>(this, "SpeedButtonScenaDelete",
                                            QStringLiteral("Удалить текущую сцену"),
                                            SceneGlyph::Delete);
    paste_->setFixedSize(newScene_->sizeHint());
    connect(newScene_, &QToolButton::clicked, this, &SceneListPanel::InsertScenaItemClick);
    connect(copyScene_, &QToolButton::clicked, this, &SceneListPanel::CopyToBufferItemClick);
    connect(pasteNew_, &QToolButton::clicked, this, &SceneListPanel::SpeedButtonNewScenaPasteClick);
    connect(paste_, &QPushButton::clicked, this, &SceneListPanel::PasteFromBufferItemClick);
    connect(deleteScene_, &QToolButton::clicked, this, &SceneListPanel::DeleteScenaItemClick);
    for (QWidget* button : {static_cast<QWidget*>(newScene_), static_cast<QWidget*>(copyScene_),
                            static_cast<QWidget*>(pasteNew_), static_cast<QWidget*>(paste_),
                            static_cast<QWidget*>(deleteScene_)})
        row->addWidget(button);
    row->addStretch(1);
    pasteNew_->setEnabled(false);
    paste_->setEnabled(false);
    static_cast<QVBoxLayout*>(layout())->addLayout(row);
}

QAction* SceneListPanel::addMenuEntry(const char* name, const char* text, const QKeySequence& keys,
                                      Handler handler)
{
    QMenu* scenes = form_.menu(TBaseForm::MenuId::Sceny);
    auto* action = scenes->addAction(QString::fromUtf8(text));
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(keys);
    if (handler)
        connect(action, &QAction::triggered, this, handler);
    return action;
}

void SceneListPanel::buildMenus()
{
    editItem_ = form_.menu(TBaseForm::MenuId::Sceny)->menuAction();
    editItem_->setObjectName(QStringLiteral("EditItem"));
    addMenuEntry("CopyPredScena", "Копировать предыдущую сцену", QKeySequence(Qt::CTRL | Qt::Key_P),
                 &SceneListPanel::CopyPredScenaClick);
    addMenuEntry("CopyToBufferItem", "Копировать сцену в буфер", QKeySequence(Qt::CTRL | Qt::Key_C),
                 &SceneListPanel::CopyToBufferItemClick);
    pasteItem_ = addMenuEntry("PasteFromBufferItem", "Заменить сценой  из буфера", QKeySequence(),
                              &SceneListPanel::PasteFromBufferItemClick);
    // Announced by the menu since the first version, never given an action.
    pasteNewItem_ = addMenuEntry("NewPasteFromBufferItem", "Создать новую и заменить сценой из буфера",
                                 QKeySequence(Qt::CTRL | Qt::Key_V), nullptr);
    addMenuEntry("ClearScenaItem", "Очистить Сцену", QKeySequence(Qt::CTRL | Qt::Key_E),
                 &SceneListPanel::ClearScenaItemClick);
    addMenuEntry("DeleteScenaItem", "Удалить Сцену из Шоу ", QKeySequence(Qt::CTRL | Qt::Key_Delete),
                 &SceneListPanel::DeleteScenaItemClick);
    addMenuEntry("InsertScenaItem", "Создать новую Сцену", QKeySequence(Qt::CTRL | Qt::Key_Insert),
                 &SceneListPanel::InsertScenaItemClick);
    pasteItem_->setEnabled(false);
    pasteNewItem_->setEnabled(false);

    autoAddItem_ = new QAction(QStringLiteral("Разрешить автодобавление сцен"), this);
    form_.addMenuEntry(TBaseForm::MenuId::Opcii, 2, autoAddItem_);
    autoAddItem_->setObjectName(QStringLiteral("AvtoDobScenaItem"));
    autoAddItem_->setCheckable(true);
    connect(autoAddItem_, &QAction::triggered, this, &SceneListPanel::AvtoDobScenaItemClick);
}

void SceneListPanel::buildToolButtons()
{
    struct ToolButton {
        int order;
        const char* name;
        const char* hint;
        SceneGlyph glyph;
        Handler handler;
    };
    static const ToolButton kButtons[] = {
        {4, "SpeedButtonCOPY", "Копировать Сцену", SceneGlyph::CopyToBuffer,
         &SceneListPanel::CopyToBufferItemClick},
        {5, "SpeedButtonCOPYPREDSCEN", "Копировать предыдущую Сцену", SceneGlyph::CopyPrevious,
         &SceneListPanel::CopyPredScenaClick},
        {6, "SpeedButtonCLEAR", "Новая сцена", SceneGlyph::Clear, &SceneListPanel::ClearScenaItemClick},
        {7, "SpeedButtonDELSCEN", "Удалить сцену", SceneGlyph::Delete,
         &SceneListPanel::DeleteScenaItemClick},
        {8, "SpeedButtonAVTOPLUS", "Автодобавление сцен ", SceneGlyph::AutoAdd,
         &SceneListPanel::AvtoDobScenaItemClick},
    };
    for (const ToolButton& info : kButtons) {
        auto* button = new QToolButton(&form_);
        button->setObjectName(QString::fromLatin1(info.name));
        button->setToolTip(QString::fromUtf8(info.hint));
        button->setIcon(sceneIcon(info.glyph));
        connect(button, &QToolButton::clicked, this, info.handler);
        form_.addToolButton(info.order, button);
        if (info.handler == &SceneListPanel::AvtoDobScenaItemClick)
            autoPlus_ = button;
    }
    // The button shows the switch's state like the menu's check mark.
    autoPlus_->setCheckable(true);
    connect(&list_, &SceneList::autoAddChanged, autoPlus_, &QToolButton::setChecked);
    connect(&list_, &SceneList::autoAddChanged, autoAddItem_, &QAction::setChecked);
}

void SceneListPanel::refreshAfter(bool changed)
{
    if (changed)
        form_.ReturnPageControlAll();
}

void SceneListPanel::ScrollBarStepChange(int position)
{
    list_.stepTo(static_cast<uint8_t>(position));
    // Inside the window refresh the rest of that refresh shows the result.
    if (!refreshing_)
        form_.ReturnPageControlAll();
}

void SceneListPanel::ReturnSceneControls()
{
    const ShowImage& image = console_.image;
    labelStep_->setText(QString::number(image.currentScene() + 1));
    refreshing_ = true;
    // Both may clamp the bar; its handler then stores the clamped scene.
    stepBar_->setValue(image.currentScene());
    stepBar_->setMaximum(std::min(image.lastScene() + 1, 255));
    refreshing_ = false;
    labelCoda_->setText(QString::number(image.lastScene() + 1));
}

void SceneListPanel::showChosenScene()
{
    const ShowImage& image = console_.image;
    refreshing_ = true;
    stepBar_->setMaximum(std::min(image.lastScene() + 1, 255));
    stepBar_->setValue(image.currentScene());
    refreshing_ = false;
    labelStep_->setText(QString::number(image.currentScene() + 1));
    labelCoda_->setText(QString::number(image.lastScene() + 1));
}

void SceneListPanel::InsertScenaItemClick()
{
    refreshAfter(list_.insertScene());
}

void SceneListPanel::DeleteScenaItemClick()
{
    refreshAfter(list_.deleteScene());
}

void SceneListPanel::ClearScenaItemClick()
{
    refreshAfter(list_.clearScene());
}

void SceneListPanel::CopyPredScenaClick()
{
    refreshAfter(list_.copyPreviousScene());
}

void SceneListPanel::CopyToBufferItemClick()
{
    const QString scene = QString::number(console_.image.currentScene() + 1);
    pasteNew_->setToolTip(QStringLiteral("Создать новую сцену после текущей и скопировать в нее сцену ")
                          + scene + QStringLiteral(" из буфера"));
    paste_->setToolTip(QStringLiteral("Заменить текущую сцену Сценой ") + scene
                       + QStringLiteral(" из буфера"));
    if (!list_.copyToBuffer())
        return;
    enablePaste();
    form_.ReturnPageControlAll();
}

void SceneListPanel::enablePaste()
{
    for (QAction* item : {pasteItem_, pasteNewItem_})
        item->setEnabled(true);
    pasteNew_->setEnabled(true);
    paste_->setEnabled(true);
}

void SceneListPanel::PasteFromBufferItemClick()
{
    refreshAfter(list_.pasteReplacing());
}

void SceneListPanel::SpeedButtonNewScenaPasteClick()
{
    refreshAfter(list_.pasteAsNew());
}

void SceneListPanel::AvtoDobScenaItemClick()
{
    list_.toggleAutoAdd();
}

// Playing locks the scene list; stopping unlocks it, except the paste buttons,
// which wait for the next copy.
void SceneListPanel::showMode(bool playing)
{
    editItem_->setEnabled(!playing);
    for (QWidget* button : {static_cast<QWidget*>(newScene_), static_cast<QWidget*>(copyScene_),
                            static_cast<QWidget*>(deleteScene_)})
        button->setEnabled(!playing);
    if (playing) {
        pasteNew_->setEnabled(false);
        paste_->setEnabled(false);
    }
}

}  // namespace tavrelia
