#include "conveyor_panel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include "base_form.h"
#include "console.h"
#include "dialogs.h"
#include "key_preview.h"

namespace tavrelia {

namespace {
constexpr int kColumns = 4;
const QColor kBound(0, 0, 128);
const QColor kEmpty(255, 0, 0);
}  // namespace

ConveyorPanel::ConveyorPanel(TBaseForm& form)
    : QGroupBox(QStringLiteral("Конвейр потоков Шоу ")), form_(form), conveyor_(form.console().conveyor),
      live_(form.console().live)
{
    setObjectName(QStringLiteral("GroupBoxKonveyr"));
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(4, 2, 4, 4);
    rows->setSpacing(2);
    buildButtons();
    buildModes();
    form.rightColumn()->addWidget(this);

    connect(&conveyor_, &Conveyor::changed, this, &ConveyorPanel::showState);
    connect(&conveyor_, &Conveyor::loaded, this, &ConveyorPanel::showLoad);
    connect(form.keyPreview(), &KeyPreview::keyDown, this, [this](int virtualKey) { keyDown(virtualKey); });
    showState();
}

void ConveyorPanel::buildButtons()
{
    auto* grid = new QGridLayout;
    grid->setSpacing(1);
    for (int n = 1; n <= Conveyor::kButtons; ++n) {
        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("SpeedButton%1").arg(n));
        button->setCheckable(true);
        button->setToolTip(
            QStringLiteral("Имя введенного файла на кнопке  -  вводить Имя правой кнопкой"));
        // The columns share the group's width, so the window keeps its size; a caption
        // too wide for its button is drawn smaller (fitCaption).
        button->setMinimumWidth(0);
        button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        button->installEventFilter(this);
        connect(button, &QToolButton::clicked, this, [this, n] { live_.pressConveyor(n); });
        grid->addWidget(button, (n - 1) / kColumns, (n - 1) % kColumns);
        buttons_[n - 1] = button;
    }
    static_cast<QVBoxLayout*>(layout())->addLayout(grid);
}

QToolButton* ConveyorPanel::modeButton(const char* name, const QString& caption, const char* hint,
                                       Conveyor::Mode mode)
{
    auto* button = new QToolButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setToolTip(QString::fromUtf8(hint));
    button->setCheckable(true);
    connect(button, &QToolButton::clicked, this, [this, mode] {
        live_.setConveyorMode(mode);
        form_.ReturnPageControlAll();
    });
    modes_[static_cast<int>(mode)] = button;
    return button;
}

void ConveyorPanel::buildModes()
{
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    auto* group = new QButtonGroup(this);
    for (QToolButton* button :
         {modeButton("SpeedButtonKonvHand", QStringLiteral("◉"),
                     "Остановить Шоу   и  разрешить проигрывание выбранного Шоу", Conveyor::Mode::Hand),
          modeButton("SpeedButtonKonvOff", QStringLiteral("■"),
                     "Остановить конвейр и разрешить набор конвейра Шоу", Conveyor::Mode::Off),
          modeButton("SpeedButtonKonvSpis", QStringLiteral("▶"),
                     "Запустить конвейр Шоу  с текущей позиции ", Conveyor::Mode::List),
          modeButton("SpeedButtonKonvSpisBegin", QStringLiteral("⇤▶"),
                     "Запустить Конвейр Шоу  с первой активной кнопки", Conveyor::Mode::ListBegin)}) {
        group->addButton(button);
        row->addWidget(button);
    }

    auto* clear = new QToolButton(this);
    clear->setObjectName(QStringLiteral("SpeedButtonKonvNew"));
    clear->setText(QStringLiteral("✕"));
    clear->setToolTip(QStringLiteral("Очистить конвейр Шоу"));
    connect(clear, &QToolButton::clicked, this, &ConveyorPanel::SpeedButtonKonvNewClick);
    row->addWidget(clear);
    row->addStretch(1);

    row->addWidget(new QLabel(QStringLiteral("Клавиатура"), this));
    keys_ = new QCheckBox(QStringLiteral("Вкл"), this);
    keys_->setObjectName(QStringLiteral("CheckBoxKeyKonveyr"));
    keys_->setToolTip(QStringLiteral("Включить горячие кнопки клавиатуру"));
    keys_->setChecked(live_.conveyorKeys());
    connect(keys_, &QCheckBox::toggled, &live_, &Controls::setConveyorKeys);
    connect(&live_, &Controls::conveyorKeysChanged, keys_, &QCheckBox::setChecked);
    row->addWidget(keys_);
    auto* rows = static_cast<QVBoxLayout*>(layout());
    rows->addLayout(row);

    labelKonveyr_ = new QLabel(this);
    labelKonveyr_->setObjectName(QStringLiteral("LabelKonveyr"));
    rows->addWidget(labelKonveyr_);
}

void ConveyorPanel::showState()
{
    for (int n = 1; n <= Conveyor::kButtons; ++n) {
        const Conveyor::Button& state = conveyor_.button(n);
        QToolButton* button = buttons_[n - 1];
        button->setChecked(state.pressed);
        button->setText(state.caption);
        fitCaption(button, state.bound);
        QPalette palette = button->palette();
        palette.setColor(QPalette::ButtonText, state.bound ? kBound : kEmpty);
        button->setPalette(palette);
    }
    modes_[static_cast<int>(conveyor_.mode())]->setChecked(true);
    labelKonveyr_->setText(conveyor_.label());
}

void ConveyorPanel::fitCaption(QToolButton* button, bool bold)
{
    constexpr double kSmallest = 3;
    constexpr int kMargins = 8;
    QFont caption = font();
    caption.setBold(bold);
    while (caption.pointSizeF() > kSmallest
           && QFontMetrics(caption).horizontalAdvance(button->text()) > button->width() - kMargins)
        caption.setPointSizeF(caption.pointSizeF() - 0.5);
    if (button->font() != caption)
        button->setFont(caption);
}

void ConveyorPanel::resizeEvent(QResizeEvent* event)
{
    QGroupBox::resizeEvent(event);
    for (int n = 1; n <= Conveyor::kButtons; ++n)
        fitCaption(buttons_[n - 1], conveyor_.button(n).bound);
}

void ConveyorPanel::showLoad(const FileResult& result)
{
    // A load at a wrap comes from the sequencer's period: its message must not
    // hold up the show.
    form_.reportLoad(result, TBaseForm::Message::Later);
    form_.ReturnPageControlAll();
}

void ConveyorPanel::SpeedButtonMouseDown(int n)
{
    const QString name = Dialogs::current().openFile(
        &form_, form_.showDialog(QStringLiteral("Открыть Шоу"), form_.console().showFiles.openFileName));
    if (!name.isEmpty())
        conveyor_.bind(n, name);
}

void ConveyorPanel::SpeedButtonKonvNewClick()
{
    if (Dialogs::current().question(&form_, QStringLiteral("Удалить все файлы конвейра ? ")))
        conveyor_.SpeedButtonKonvNewClick();
}

bool ConveyorPanel::keyDown(int virtualKey)
{
    return live_.conveyorKeys() && conveyor_.keyJob(virtualKey);
}

bool ConveyorPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        for (int n = 1; n <= Conveyor::kButtons; ++n) {
            if (watched == buttons_[n - 1]) {
                SpeedButtonMouseDown(n);
                return true;
            }
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

}  // namespace tavrelia
