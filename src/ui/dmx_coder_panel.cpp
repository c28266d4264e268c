#include "dmx_coder_panel.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "base_form.h"
#include "console.h"
#include "dialogs.h"
#include "output/recode_table_file.h"
#include "style_icon.h"

namespace tavrelia {

namespace {
const char* const kFilter = "Файлы перекодировки Tavrelia  (*.tvd)|*.tvd";
constexpr int kSteps[] = {3, 4, 6, 8, 12, 16};
constexpr int kStartStep = 12;
}  // namespace

DmxCoderPanel::DmxCoderPanel(TBaseForm& form)
    : QWidget(form.inputPage(TBaseForm::InputTab::DmxCoder)), form_(form),
      console_(form.console()), controls_(form.console().outputControls)
{
    setObjectName(QStringLiteral("DmxCoderPanel"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(2);
    auto* heading = new QLabel(
        QStringLiteral("Таблица перекодировок каналов  строки DMX512. на выходе программы"), this);
    heading->setObjectName(QStringLiteral("LabelCoderHeading"));
    outer->addWidget(heading);

    auto* columns = new QHBoxLayout;
    columns->setSpacing(6);
    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(0);
    grid->setHorizontalSpacing(6);
    for (int j = 1; j <= kRows; ++j)
        buildRow(j, grid);
    grid->setColumnStretch(1, 1);
    columns->addLayout(grid, 1);

    scrollBarCoderPos_ = new QScrollBar(Qt::Vertical, this);
    scrollBarCoderPos_->setObjectName(QStringLiteral("ScrollBarCoderPos"));
    scrollBarCoderPos_->setRange(0, 225);
    scrollBarCoderPos_->setPageStep(20);
    scrollBarCoderPos_->setToolTip(QStringLiteral("Установка изменяемого канала"));
    connect(scrollBarCoderPos_, &QScrollBar::valueChanged, this,
            [this] { UpDateDmxCoder(); });   // ScrollBarCoderPosChange
    columns->addWidget(scrollBarCoderPos_);
    columns->addWidget(buildButtonColumn());
    outer->addLayout(columns, 1);

    parentWidget()->layout()->addWidget(this);
    UpDateDmxCoder();
    connect(&form, &TBaseForm::startUpTables, this, &DmxCoderPanel::UpDateDmxCoder);
}

void DmxCoderPanel::buildRow(int j, QGridLayout* grid)
{
    const QString number = QStringLiteral("%1").arg(j, 2, 10, QLatin1Char('0'));
    Row& row = rows_[j - 1];
    row.label = new QLabel(this);
    row.label->setObjectName(QStringLiteral("Labelcoder") + number);
    // Room for the widest text, so the bars do not move as the numbers change.
    row.label->setMinimumWidth(row.label->fontMetrics().horizontalAdvance(
        QStringLiteral("Канал 255 выводится в канал 255 ")));
    row.bar = new QScrollBar(Qt::Horizontal, this);
    row.bar->setObjectName(QStringLiteral("ScrollBarCoder") + number);
    row.bar->setRange(1, 255);
    row.bar->setPageStep(kStartStep);
    row.bar->setFixedHeight(16);
    row.bar->setToolTip(
        QStringLiteral("Устанавливаем из какого канала будет пееренаправлятся в какой канал DMX"));
    connect(row.bar, &QScrollBar::valueChanged, this,
            [this, j](int position) { ScrollBarCoderChange(j, position); });
    grid->addWidget(row.label, j - 1, 0);
    grid->addWidget(row.bar, j - 1, 1);
}

QToolButton* DmxCoderPanel::addButton(const QString& name, const QString& caption,
                                      const QString& hint)
{
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setText(caption);
    button->setToolTip(hint);
    button->setAutoRaise(false);
    button->setMinimumWidth(36);
    return button;
}

QWidget* DmxCoderPanel::buildButtonColumn()
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    // One group that may also be all up: a click on the button that is down raises it.
    stepGroup_ = new QButtonGroup(this);
    stepGroup_->setExclusive(false);
    for (int step : kSteps) {
        QToolButton* button = addButton(QStringLiteral("SpeedButtonCoderCh%1").arg(step),
                                        QString::number(step),
                                        QStringLiteral("Измение канала на ..."));
        button->setCheckable(true);
        button->setChecked(step == kStartStep);
        stepGroup_->addButton(button, step);
        layout->addWidget(button);
        connect(button, &QToolButton::clicked, this, [this, step] { SpeedButtonLarge(step); });
    }
    connect(stepGroup_, &QButtonGroup::idToggled, this, [this](int id, bool down) {
        if (!down)
            return;
        for (QAbstractButton* other : stepGroup_->buttons()) {
            if (stepGroup_->id(other) != id)
                other->setChecked(false);
        }
    });
    layout->addSpacing(8);

    QToolButton* reset = addButton(QStringLiteral("SpeedButtonResetCoder"), QStringLiteral("R"),
                                   QStringLiteral("Сбросить все установки 1=1, 2=2 и т.д."));
    connect(reset, &QToolButton::clicked, this, &DmxCoderPanel::SpeedButtonResetCoderClick);
    layout->addWidget(reset);
    layout->addSpacing(8);

    QToolButton* open = addButton(QStringLiteral("SpeedButtonOpenCoderTab"), QString(),
                                  QStringLiteral("Загрузить таблицу"));
    open->setIcon(styleIcon(QStyle::SP_DialogOpenButton));
    connect(open, &QToolButton::clicked, this, &DmxCoderPanel::SpeedButtonOpenCoderTabClick);
    layout->addWidget(open);
    QToolButton* save = addButton(QStringLiteral("SpeedButtonSaveCoderTab"), QString(),
                                  QStringLiteral("Сохранить таблицу"));
    save->setIcon(styleIcon(QStyle::SP_DialogSaveButton));
    connect(save, &QToolButton::clicked, this, &DmxCoderPanel::SpeedButtonSaveCoderTabClick);
    layout->addWidget(save);
    layout->addStretch(1);
    return column;
}

int DmxCoderPanel::firstEntry() const
{
    return scrollBarCoderPos_->value();
}

void DmxCoderPanel::ScrollBarCoderChange(int j, int position)
{
    controls_.setRecodeEntry(firstEntry() + j, static_cast<uint16_t>(position));
    showLabel(j);
}

void DmxCoderPanel::showLabel(int j)
{
    const int slot = firstEntry() + j;
    rows_[j - 1].label->setText(QStringLiteral("Канал %1 выводится в канал %2")
                                    .arg(console_.dmx.RecodeTable[slot])
                                    .arg(slot));
}

void DmxCoderPanel::UpDateDmxCoder()
{
    for (int j = 1; j <= kRows; ++j)
        rows_[j - 1].bar->setValue(console_.dmx.RecodeTable[firstEntry() + j]);
    for (int j = 1; j <= kRows; ++j)
        showLabel(j);
}

void DmxCoderPanel::SpeedButtonLarge(int step)
{
    for (Row& row : rows_)
        row.bar->setPageStep(step);
}

void DmxCoderPanel::SpeedButtonResetCoderClick()
{
    controls_.resetRecoding();
    UpDateDmxCoder();
}

void DmxCoderPanel::SpeedButtonOpenCoderTabClick()
{
    const QString path = Dialogs::current().openFile(
        &form_, {QString(), QString::fromUtf8(kFilter), QStringLiteral("tvd"), QString(),
                 console_.folder.path()});
    if (path.isEmpty())
        return;
    QString error;
    if (!RecodeTableFile::load(console_.dmx.RecodeTable, console_.consoleLock, path, &error)) {
        Dialogs::current().critical(&form_, error);
        return;
    }
    UpDateDmxCoder();
}

void DmxCoderPanel::SpeedButtonSaveCoderTabClick()
{
    const QString path = Dialogs::current().saveFile(
        &form_, {QString(), QString::fromUtf8(kFilter), QStringLiteral("tvd"), QString(),
                 console_.folder.path()});
    if (path.isEmpty())
        return;
    QString error;
    if (!RecodeTableFile::save(console_.dmx.RecodeTable, path, &error))
        Dialogs::current().critical(&form_, error);
}

}  // namespace tavrelia
