#include "static_form.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "base_form.h"
#include "console.h"
#include "dialogs.h"
#include "scene_icons.h"
#include "style_icon.h"

namespace tavrelia {

namespace {

constexpr const char* kCaptions[StaticPictureEditor::kPictures] = {
    "1", "2", "3", "4", "5", "6", "7", "8", "--", "Z", "X", "C", "V", "B", "N", "M"};
constexpr int kButtonColumns = 8;
constexpr int kButtonHeight = 19;
const QColor kTeal(0, 128, 128);

QGroupBox* group(QWidget* parent, const QString& title, const char* name)
{
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

}  // namespace

TStaticForm::TStaticForm(TBaseForm& form)
    : QWidget(&form, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      form_(form),
      console_(form.console()),
      editor_(form.console().pictureEditor)
{
    setObjectName(QStringLiteral("TStaticForm"));
    setWindowTitle(QStringLiteral("Статические картинки"));
    setFixedSize(kWidth, kHeight);
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
    QPalette teal = palette();
    teal.setColor(QPalette::Window, kTeal);
    teal.setColor(QPalette::WindowText, Qt::white);
    setPalette(teal);
    setAutoFillBackground(true);

    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(4, 2, 4, 4);
    rows->setSpacing(2);
    readGroup_ = buildPictureGroup(QStringLiteral("Считать"),
                                   QStringLiteral("Редактируемая статическая картинка"),
                                   "SpeedButtonRead", &TStaticForm::ReadChaser);
    saveGroup_ = buildPictureGroup(QStringLiteral("Записать "),
                                   QStringLiteral("Записать в  статическую картинку"),
                                   "SpeedButtonSave", &TStaticForm::SaveChaser);
    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(4);
    bottom->addWidget(buildSceneChoice(), 1);
    bottom->addWidget(buildEraseGroup());
    rows->addLayout(bottom);

    // Either erase enables the undo; a snapshot spent or dropped elsewhere disables it.
    connect(&console_.sceneList, &SceneList::undoAvailableChanged, undoButton_, [this](bool available) {
        if (!available)
            undoButton_->setEnabled(false);
    });
    // A show replaced under the open editor, and the main window's close sequence,
    // which must offer the show itself for saving, not the working picture. A load
    // that failed replaced nothing: the editor stays open with what it keeps.
    connect(&form_, &TBaseForm::showReplaced, this, &TStaticForm::abandon);
    connect(&form_, &TBaseForm::showCleared, this, &TStaticForm::abandon);
    connect(&form_, &TBaseForm::closeWindows, this, &QWidget::close);
    hide();
}

QButtonGroup* TStaticForm::buildPictureGroup(const QString& title, const QString& hint,
                                              const char* prefix, void (TStaticForm::*handler)(int))
{
    QGroupBox* box = group(this, title, prefix);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(3, 0, 3, 2);
    grid->setSpacing(1);
    auto* buttons = new QButtonGroup(box);
    for (int k = 0; k < StaticPictureEditor::kPictures; ++k) {
        auto* button = new QToolButton(box);
        button->setObjectName(QString::fromLatin1(prefix) + QString::number(k + 1));
        button->setText(QString::fromLatin1(kCaptions[k]));
        button->setToolTip(hint);
        button->setCheckable(true);
        button->setFixedHeight(kButtonHeight);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        buttons->addButton(button, k);
        grid->addWidget(button, k / kButtonColumns, k % kButtonColumns);
    }
    auto* none = new QToolButton(box);
    none->setObjectName(QString::fromLatin1(prefix) + QStringLiteral("None"));
    none->setCheckable(true);
    none->hide();
    buttons->addButton(none, -2);
    connect(buttons, &QButtonGroup::idClicked, this, [this, handler](int k) { (this->*handler)(k); });
    static_cast<QVBoxLayout*>(layout())->addWidget(box);
    return buttons;
}

QGroupBox* TStaticForm::buildSceneChoice()
{
    QGroupBox* box = group(this, QStringLiteral(" Выбор сцены  "), "GroupBoxScene");
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(3, 0, 3, 3);
    sceneBar_ = new QScrollBar(Qt::Horizontal, box);
    sceneBar_->setObjectName(QStringLiteral("ScrollBar1"));
    sceneBar_->setRange(0, 255);
    sceneBar_->setValue(1);
    sceneBar_->setPageStep(10);
    connect(sceneBar_, &QScrollBar::valueChanged, this, &TStaticForm::ScrollBar1Change);
    row->addWidget(sceneBar_, 1);
    label1_ = new QLabel(QStringLiteral("1"), box);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setMinimumWidth(label1_->fontMetrics().horizontalAdvance(QStringLiteral("256")));
    label1_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addWidget(label1_);
    return box;
}

QGroupBox* TStaticForm::buildEraseGroup()
{
    QGroupBox* box = group(this, QStringLiteral("Стереть"), "GroupBoxErase");
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(3, 0, 3, 3);
    row->setSpacing(1);
    auto* eraseOne = addEraseButton(row, "SpeedButtonDel1",
                                    QStringLiteral("Стереть редактируемую сцену"),
                                    sceneIcon(SceneGlyph::Clear));
    auto* eraseAll = addEraseButton(row, "SpeedButtonDelAll",
                                    QStringLiteral("Стереть все статические картинки "),
                                    styleIcon(QStyle::SP_TrashIcon));
    undoButton_ = addEraseButton(row, "SpeedButtonUndoSt", QStringLiteral("Вернуть прежнюю сцену"),
                                 styleIcon(QStyle::SP_ArrowBack));
    undoButton_->setEnabled(false);
    connect(eraseOne, &QToolButton::clicked, this, &TStaticForm::SpeedButtonDel1Click);
    connect(eraseAll, &QToolButton::clicked, this, &TStaticForm::SpeedButtonDelAllClick);
    connect(undoButton_, &QToolButton::clicked, this, &TStaticForm::SpeedButtonUndoStClick);
    return box;
}

QToolButton* TStaticForm::addEraseButton(QHBoxLayout* row, const char* name, const QString& hint,
                                         const QIcon& icon)
{
    auto* button = new QToolButton(row->parentWidget());
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(hint);
    button->setIcon(icon);
    button->setFixedSize(24, 22);
    row->addWidget(button);
    return button;
}

void TStaticForm::ChaserItemClick()
{
    if (editor_.isOpen())   // a second opening is ignored
        return;
    console_.live.halt();
    editor_.open();
    console_.live.reloadSelection();
    form_.ReturnPageControlAll();
    // Jumps: the output shows the working picture as it is edited.
    console_.live.setMode(OutputEngine::Vykl);
    show();
    raise();
}

void TStaticForm::closeEvent(QCloseEvent* event)
{
    if (editor_.isOpen()) {   // FormClose
        editor_.close();
        console_.live.reloadSelection();
        form_.ReturnPageControlAll();
    }
    event->accept();
}

void TStaticForm::abandon()
{
    if (!editor_.isOpen())
        return;
    editor_.abandon();
    hide();
}

void TStaticForm::release(QButtonGroup* group)
{
    group->button(-2)->setChecked(true);
}

void TStaticForm::releaseBoth()
{
    release(readGroup_);
    release(saveGroup_);
}

void TStaticForm::refreshMainWindow()
{
    console_.live.reloadDesk();
    form_.ReturnPageControlAll();
}

void TStaticForm::ReadChaser(int picture)
{
    editor_.ReadChaser(picture);
    refreshMainWindow();
    release(saveGroup_);
}

void TStaticForm::SaveChaser(int picture)
{
    editor_.SaveChaser(picture);
    release(readGroup_);
}

void TStaticForm::ScrollBar1Change(int position)
{
    label1_->setText(QString::number(position + 1));
    editor_.ScrollBar1Change(position);
    releaseBoth();
    refreshMainWindow();
}

void TStaticForm::SpeedButtonDel1Click()
{
    if (!Dialogs::current().question(this, QStringLiteral("Удалить статическую картинку?")))
        return;
    editor_.eraseWorking();
    afterErase();
}

void TStaticForm::SpeedButtonDelAllClick()
{
    if (!Dialogs::current().question(this, QStringLiteral("Удалить все Статические картинки?")))
        return;
    editor_.eraseAll();
    afterErase();
}

void TStaticForm::afterErase()
{
    undoButton_->setEnabled(true);
    releaseBoth();
    refreshMainWindow();
}

void TStaticForm::SpeedButtonUndoStClick()
{
    undoButton_->setEnabled(false);
    editor_.undo();
    form_.ReturnPageControlAll();
}

}  // namespace tavrelia
