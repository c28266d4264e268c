#include "device_placement_panel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLayout>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>

#include "base_form.h"
#include "view_3d_form.h"

namespace tavrelia {

namespace {
QScrollBar* makeBar(QWidget* parent, const char* name, Qt::Orientation orientation, int min,
                    int max, int value)
{
    auto* bar = new QScrollBar(orientation, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(min, max);
    bar->setValue(value);
    return bar;
}

QToolButton* makeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    return button;
}

struct AxisInfo {
    const char* bar;
    const char* fix;
    const char* caption;
    const char* hint;
    Qt::Orientation orientation;
    int min, max, value;
};
constexpr AxisInfo kAxes[] = {
    {"ScrollBarXdev", "CheckBoxFixX", "<Fix X ", "Позиция по X", Qt::Horizontal, 20, 235, 127},
    {"ScrollBarYdev", "CheckBoxFixY", "<Fix Y ", "Позиция по Y", Qt::Vertical, 20, 235, 120},
    {"ScrollBarZdev", "CheckBoxFixZ", "<Fix Z ", "Позиция по Z", Qt::Vertical, 0, 255, 127},
};

struct TypeInfo {
    const char* name;
    const char* caption;
    uint8_t type;
};
constexpr TypeInfo kTypes[] = {
    {"SpeedButtonDev3D", "HEAD", 1},
    {"SpeedButtonscan", "SCAN", 2},
    {"SpeedButtonpar", "PAR", 3},
    {"SpeedButtonDevoff", "OFF", 0},
};

struct ParInfo {
    const char* name;
    const char* label;
};
constexpr ParInfo kParBars[] = {
    {"ScrollBarRotatx", "PAR: поворот"},
    {"ScrollBaRotaty", "PAR: наклон"},
    {"ScrollBarWide", "PAR: ширина луча"},
};
}  // namespace

DevicePlacementPanel::DevicePlacementPanel(TBaseForm& form)
    : QGroupBox(QStringLiteral("Позиционирование приборов "),
                form.inputPage(TBaseForm::InputTab::Opcii)),
      placement_(form.console().deviceFeed, form.console().consoleLock)
{
    setObjectName(QStringLiteral("GroupBoxDevices"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    viewer_ = new Tform3Dtavr(form);
    buildControls();
    // The colour file brings the placement at start-up: show the current slot's.
    connect(&form, &TBaseForm::startUpTables, this,
            [this] { ScrollBarNomberDevChange(scrollBarNomberDev_->value()); });
    // The options tab's groups stack from the top, each at its own height.
    parentWidget()->layout()->setAlignment(Qt::AlignTop);
    parentWidget()->layout()->addWidget(this);
}

// The slot and the type on top; below, X and the PAR bars on the left, Y and Z
// upright on the right with their fix boxes under them.
void DevicePlacementPanel::buildControls()
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(3);

    labelNomberPosDevice_ = new QLabel(QStringLiteral("Device: 1"), this);
    labelNomberPosDevice_->setObjectName(QStringLiteral("LabelNomberPosDevice"));
    labelNomberPosDevice_->setMinimumWidth(labelNomberPosDevice_->fontMetrics().horizontalAdvance(
        QStringLiteral("Device: 32 ")));
    scrollBarNomberDev_ = makeBar(this, "ScrollBarNomberDev", Qt::Horizontal, 1,
                                  DevicePlacement::kSlots, 1);
    scrollBarNomberDev_->setToolTip(QStringLiteral("Номер прибора "));
    scrollBarNomberDev_->setPageStep(1);
    connect(scrollBarNomberDev_, &QScrollBar::valueChanged, this,
            &DevicePlacementPanel::ScrollBarNomberDevChange);
    grid->addWidget(labelNomberPosDevice_, 0, 0);
    grid->addWidget(scrollBarNomberDev_, 0, 1, 1, 3);
    grid->addWidget(buildTypeButtons(), 1, 0, 1, 4);
    buildAxes(grid, 2);
    buildParBars(grid, 4);

    auto* show3D = makeButton(this, "SpeedButton3Don", QStringLiteral("показать 3D (demo version) "));
    connect(show3D, &QToolButton::clicked, viewer_, &Tform3Dtavr::open);
    grid->addWidget(show3D, 7, 0, 1, 2, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);
}

QWidget* DevicePlacementPanel::buildTypeButtons()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (const TypeInfo& info : kTypes) {
        QToolButton* button = makeButton(row, info.name, QString::fromLatin1(info.caption));
        connect(button, &QToolButton::clicked, this,
                [this, type = info.type] { placement_.setType(type); });
        layout->addWidget(button);
    }
    layout->addSpacing(12);
    auto* record = new QCheckBox(QStringLiteral("Enable Record"), row);
    record->setObjectName(QStringLiteral("CheckBoxEnableRecord"));
    connect(record, &QCheckBox::toggled, this, [this](bool on) { placement_.setRecord(on); });
    layout->addWidget(record);
    layout->addStretch(1);
    return row;
}

void DevicePlacementPanel::buildAxes(QGridLayout* grid, int row)
{
    for (int i = 0; i < 3; ++i) {
        const AxisInfo& info = kAxes[i];
        AxisControls& controls = axes_[i];
        controls.bar = makeBar(this, info.bar, info.orientation, info.min, info.max, info.value);
        controls.bar->setToolTip(QString::fromUtf8(info.hint));
        controls.fix = new QCheckBox(this);
        controls.fix->setObjectName(QString::fromLatin1(info.fix));
        controls.caption = info.caption;
        showFixCaption(static_cast<Axis>(i),
                       static_cast<uint8_t>(i == 1 ? 255 - info.value : info.value));
        connect(controls.bar, &QScrollBar::valueChanged, this,
                [this, a = static_cast<Axis>(i)](int position) { axisBarChanged(a, position); });
    }
    grid->addWidget(axis(Axis::X).fix, row, 0, 1, 2);
    grid->addWidget(axis(Axis::X).bar, row + 1, 0, 1, 2);
    for (Axis a : {Axis::Y, Axis::Z}) {
        const int column = a == Axis::Y ? 2 : 3;
        grid->addWidget(axis(a).bar, row, column, 5, 1, Qt::AlignHCenter);
        grid->addWidget(axis(a).fix, row + 5, column);
    }
}

void DevicePlacementPanel::buildParBars(QGridLayout* grid, int row)
{
    for (int i = 0; i < 3; ++i) {
        QScrollBar* bar = makeBar(this, kParBars[i].name, Qt::Horizontal, 0, 255, 127);
        connect(bar, &QScrollBar::valueChanged, this, [this, v = static_cast<ParValue>(i)](int p) {
            placement_.setParValue(v, p);
        });
        grid->addWidget(new QLabel(QString::fromUtf8(kParBars[i].label), this), row + i, 0);
        grid->addWidget(bar, row + i, 1);
    }
}

void DevicePlacementPanel::ScrollBarNomberDevChange(int n)
{
    placement_.selectDevice(n);
    labelNomberPosDevice_->setText(QStringLiteral("Device: ") + QString::number(n));
    // A fixed axis keeps its bar, so the next move puts this device where the last one was.
    for (int i = 0; i < 3; ++i) {
        if (!axes_[i].fix->isChecked())
            axes_[i].bar->setValue(placement_.storedBarPosition(static_cast<Axis>(i)));
    }
}

void DevicePlacementPanel::axisBarChanged(Axis a, int position)
{
    showFixCaption(a, placement_.moveAxis(a, position));
}

void DevicePlacementPanel::showFixCaption(Axis a, uint8_t value)
{
    axis(a).fix->setText(QString::fromLatin1(axis(a).caption) + QString::number(value));
}

}  // namespace tavrelia
