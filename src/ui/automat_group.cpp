#include "automat_group.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "base_form.h"
#include "color_swatch.h"
#include "console.h"

namespace tavrelia {

namespace {

constexpr int kBarHeight = 17;
constexpr int kLevelBarHeight = 110;
constexpr const char* kEffectHints[Automat::kPrograms] = {
    "Выбор эффекта один бегущий огонек", "Выбор эффекта два бегущих огонька",
    "Выбор эффекта бегущая тень", "Выбор эффекта код с наполнением"};
const QColor kLampRed(255, 0, 0);
const QColor kLampLime(0, 255, 0);

}  // namespace

AutomatGroup::AutomatGroup(TBaseForm& form, Automat& automat)
    : QGroupBox(form.inputPage(TBaseForm::InputTab::Avtomaty)),
      form_(form),
      automat_(automat),
      page_(form.inputPage(TBaseForm::InputTab::Avtomaty))
{
    const int n = automat.number();
    setTitle(QStringLiteral("Автомат %1  четырех канальный ").arg(n));
    setObjectName(QStringLiteral("GroupBoxAvtomat%1").arg(n));
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);

    speedBar_ = addBar(Qt::Horizontal, QStringLiteral("ScrollBarTempAvtomat%1").arg(n),
                       Automat::kMaxSpeed, 10, QStringLiteral("Скорость переключения автомата"));
    speedBar_->setMinimum(Automat::kMinSpeed);
    labelTemp_ = addLabel(QStringLiteral("LabelTempAvtomat%1").arg(n),
                          QStringLiteral("Скорость переключения"));
    channelBar_ = addBar(Qt::Horizontal, QStringLiteral("ScrollBarChannelAvtomat%1").arg(n),
                         Automat::kMaxChannel, 0,
                         QStringLiteral("Установка первого канала, с которого будет работать "
                                        "автомат бегушки"));
    labelChannels_ = addLabel(QStringLiteral("LabelSeq%1Ch").arg(n),
                              QStringLiteral("Каналы  1+2+3+4"));
    labelName_ = addLabel(QStringLiteral("LabelSeq%1ChName").arg(n),
                          QStringLiteral(" Начиная от - "));
    labelStep_ = addLabel(QStringLiteral("LabelStepAvtomat%1").arg(n), QStringLiteral("Step = 1"));
    lamp_ = new ColorSwatch(this, ColorSwatch::Frame::Round);
    lamp_->setObjectName(QStringLiteral("ShapeAvtomat%1").arg(n));
    lamp_->setFixedSize(14, 14);
    lamp_->setBrushColor(kLampLime);

    grid->addWidget(speedBar_, 0, 0, 1, 2);
    grid->addWidget(labelTemp_, 0, 2);
    grid->addWidget(channelBar_, 1, 0, 1, 2);
    grid->addWidget(labelChannels_, 1, 2);
    grid->addWidget(labelName_, 2, 0, 1, 3);
    grid->addLayout(buildEffectButtons(), 3, 0);
    grid->addLayout(buildShapes(), 3, 1, 1, 2);
    grid->addWidget(addRunBox(QStringLiteral("CheckBoxAvtomat%1").arg(n),
                              QStringLiteral("Пуск самостоятельно"),
                              QStringLiteral("Запусить автомат постоянно")),
                    4, 0);
    grid->addWidget(addRunBox(QStringLiteral("CheckBoxTogethe%1").arg(n), QStringLiteral("С основным"),
                              QStringLiteral("Установленный флажок будет запускать автомат "
                                             "вместе с секвенсером 1")),
                    5, 0);
    auto* lampRow = new QHBoxLayout;
    lampRow->addWidget(lamp_);
    lampRow->addWidget(labelStep_, 1);
    grid->addLayout(lampRow, 4, 1, 1, 2);
    // The rows keep together at the top; the level bars take the height.
    grid->addLayout(buildLevelBars(), 0, 3, 7, 1);
    grid->setRowStretch(6, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(2, labelTemp_->fontMetrics().horizontalAdvance(
                                       QStringLiteral(" Каналы 251  252  253  254")));

    connect(speedBar_, &QScrollBar::valueChanged, &automat_, &Automat::setSpeed);
    connect(channelBar_, &QScrollBar::valueChanged, this, &AutomatGroup::ScrollBarChannelAvtomatChange);
    connect(&automat_, &Automat::speedChanged, labelTemp_, &QLabel::setText);
    connect(&automat_, &Automat::ticked, this, &AutomatGroup::showTick);
    connect(&form_, &TBaseForm::inputTabRefresh, this, [this](QWidget* tab) {
        if (tab != page_)
            return;
        ReturnAvtomat();
        DisplayAvtomat();
    });
    page_->layout()->addWidget(this);
    automat_.start();
}

QScrollBar* AutomatGroup::addBar(Qt::Orientation orientation, const QString& name, int max,
                                 int value, const QString& hint)
{
    auto* bar = new QScrollBar(orientation, this);
    bar->setObjectName(name);
    bar->setRange(0, max);
    bar->setValue(value);
    bar->setPageStep(orientation == Qt::Horizontal ? 5 : 16);
    bar->setToolTip(hint);
    if (orientation == Qt::Horizontal) {
        bar->setFixedHeight(kBarHeight);
    } else {
        bar->setFixedWidth(kBarHeight);
        bar->setMinimumHeight(kLevelBarHeight);
    }
    return bar;
}

QLabel* AutomatGroup::addLabel(const QString& name, const QString& text)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    return label;
}

QLayout* AutomatGroup::buildEffectButtons()
{
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    effects_ = new QButtonGroup(this);
    for (int mode = 1; mode <= Automat::kPrograms; ++mode) {
        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("SpeedButtonAvto%1Mode%2").arg(automat_.number()).arg(mode));
        button->setText(QString::number(mode));
        button->setToolTip(QString::fromUtf8(kEffectHints[mode - 1]));
        button->setCheckable(true);
        button->setFixedSize(26, 22);
        effects_->addButton(button, mode);
        row->addWidget(button);
    }
    effects_->button(1)->setChecked(true);
    connect(effects_, &QButtonGroup::idClicked, &automat_, &Automat::setMode);
    // The program follows the button that is down, however it went down.
    connect(effects_, &QButtonGroup::idToggled, this, [this](int mode, bool down) {
        if (down)
            automat_.setProgram(mode);
    });
    return row;
}

QLayout* AutomatGroup::buildShapes()
{
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    for (int i = 0; i < Automat::kChannels; ++i) {
        auto* shape = new ColorSwatch(this, ColorSwatch::Frame::Rounded);
        shape->setObjectName(QStringLiteral("ShapeAvt%1Seq%2").arg(automat_.number()).arg(i + 1));
        shape->setFixedSize(24, 24);
        row->addWidget(shape);
        shapes_[i] = shape;
    }
    row->addStretch(1);
    return row;
}

QLayout* AutomatGroup::buildLevelBars()
{
    const int n = automat_.number();
    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    column->addWidget(addLabel(QStringLiteral("LabelBrightAvtomat%1").arg(n), QStringLiteral("Яркость")),
                      0, Qt::AlignHCenter);
    auto* bars = new QHBoxLayout;
    brightBar_ = addBar(Qt::Vertical, QStringLiteral("ScrollBarBrightAvtomat%1").arg(n), 255, 127,
                        QStringLiteral("Максимальная яркость автомата"));
    darkBar_ = addBar(Qt::Vertical, QStringLiteral("ScrollBarDarkAvtomat%1").arg(n), 255, 127,
                      QStringLiteral("Минимальная яркость автомата"));
    connect(brightBar_, &QScrollBar::valueChanged, &automat_, &Automat::setBright);
    connect(darkBar_, &QScrollBar::valueChanged, &automat_, &Automat::setDark);
    bars->addWidget(brightBar_);
    bars->addWidget(darkBar_);
    column->addLayout(bars, 1);
    return column;
}

QCheckBox* AutomatGroup::addRunBox(const QString& name, const QString& text, const QString& hint)
{
    auto* box = new QCheckBox(text, this);
    box->setObjectName(name);
    box->setToolTip(hint);
    const bool alone = name.startsWith(QLatin1String("CheckBoxAvtomat"));
    Controls& live = form_.console().live;
    const int n = automat_.number();
    connect(box, &QCheckBox::toggled, &live, [&live, alone, n](bool on) {
        if (alone)
            live.setAutomatRun(n, on);
        else
            live.setAutomatWithShow(n, on);
    });
    connect(&live, &Controls::automatChanged, box, [&live, box, alone, n](int automat) {
        if (automat == n)
            box->setChecked(alone ? live.automatRun(n) : live.automatWithShow(n));
    });
    return box;
}

void AutomatGroup::ScrollBarChannelAvtomatChange(int position)
{
    automat_.setChannel(position);
    ReturnAvtomat();
}

void AutomatGroup::ReturnAvtomat()
{
    automat_.takeStoredSettings();
    darkBar_->setValue(255 - automat_.storedDark());
    brightBar_->setValue(255 - automat_.storedBright());
    channelBar_->setValue(automat_.storedChannel());
    // The bar runs its handler only when it moved: a stored value it cannot show is
    // written back even when it did not.
    if (automat_.storedChannel() != channelBar_->value())
        ScrollBarChannelAvtomatChange(channelBar_->value());
    labelChannels_->setText(automat_.channelsText());
    labelName_->setText(automat_.firstChannelText());
    speedBar_->setValue(automat_.storedSpeed());
    if (automat_.storedSpeed() != speedBar_->value())
        automat_.setSpeed(speedBar_->value());
    if (QAbstractButton* effect = effects_->button(automat_.storedMode()))
        effect->setChecked(true);
}

void AutomatGroup::DisplayAvtomat()
{
    const Automat::Values& values = automat_.values();
    for (int i = 0; i < Automat::kChannels; ++i)
        shapes_[i]->setBrushColor(QColor(values[i], values[i], values[i]));
}

void AutomatGroup::showTick(bool stepped)
{
    lamp_->setBrushColor(lamp_->brushColor() == kLampRed ? kLampLime : kLampRed);
    if (!stepped)
        return;
    labelStep_->setText(automat_.stepText());
    DisplayAvtomat();
}

}  // namespace tavrelia
