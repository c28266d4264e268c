#include "form_color_group.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "base_form.h"
#include "console.h"

namespace tavrelia {

namespace {
constexpr int kBarStart = 180;
constexpr int kBarHeight = 90;

struct BarInfo {
    const char* name;
    const char* hint;
};
constexpr BarInfo kBars[] = {
    {"ScrollBarRed", "Красная компонента цвета базовой формы"},
    {"ScrollBarGreen", "Зеленая компонента цвета базовой формы"},
    {"ScrollBarBlue", "Синяя компонента цвета базовой формы"},
};
}  // namespace

FormColorGroup::FormColorGroup(TBaseForm& form)
    : QGroupBox(QStringLiteral("Цвет формы"), form.inputPage(TBaseForm::InputTab::Opcii)),
      form_(form),
      color_(form.console().windowColor)
{
    setObjectName(QStringLiteral("GroupBoxColor"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    setAutoFillBackground(true);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 4, 6, 4);
    for (int component = 0; component < 3; ++component) {
        auto* bar = new QScrollBar(Qt::Vertical, this);
        bar->setObjectName(QString::fromLatin1(kBars[component].name));
        bar->setToolTip(QString::fromUtf8(kBars[component].hint));
        bar->setRange(0, 255);
        bar->setPageStep(30);
        bar->setValue(kBarStart);
        bar->setFixedHeight(kBarHeight);
        connect(bar, &QScrollBar::valueChanged, this, [this, component] { colorBarChange(component); });
        row->addWidget(bar);
        bars_[component] = bar;
    }

    auto* boxes = new QVBoxLayout;
    zamok_ = new QCheckBox(QStringLiteral("Вкл. цвет"), this);
    zamok_->setObjectName(QStringLiteral("CheckBoxColorZamok"));
    zamok_->setToolTip(QStringLiteral("Включить цвет"));
    zamok_->setChecked(true);
    connect(zamok_, &QCheckBox::clicked, this, &FormColorGroup::CheckBoxColorZamokClick);
    boxes->addWidget(zamok_);
    avto_ = new QCheckBox(QStringLiteral("Менять цвет автоматически"), this);
    avto_->setObjectName(QStringLiteral("CheckBoxColorAvto"));
    boxes->addWidget(avto_);
    boxes->addStretch(1);
    row->addLayout(boxes);
    row->addStretch(1);
    form.addToRow(TBaseForm::InputTab::Opcii, 1, 0, this);

    connect(&form_, &TBaseForm::colorRefresh, this, &FormColorGroup::SetColorAll);
    connect(&form_, &TBaseForm::savedAs, this, &FormColorGroup::SaveAsColorStep);
}

void FormColorGroup::SetColorAll()
{
    const uint8_t lock = color_.ColorLock();
    const ChannelColors::Rgb rgb = color_.color();
    {
        // The handlers would store the same values again.
        const QSignalBlocker blockBox(zamok_);
        if (lock <= 1)
            zamok_->setChecked(lock == 1);
        const uint8_t values[] = {rgb.red, rgb.green, rgb.blue};
        for (int i = 0; i < 3; ++i) {
            const QSignalBlocker blockBar(bars_[i]);
            bars_[i]->setValue(values[i]);
        }
    }
    const QColor color(rgb.red, rgb.green, rgb.blue);
    paint(this, color);
    paint(&form_, lock != 0 ? color : QApplication::palette().color(QPalette::Button));
}

void FormColorGroup::paint(QWidget* widget, const QColor& color)
{
    // Run at every refresh: repainting a whole window that did not change would
    // cost every refresh a full repaint.
    if (widget->palette().color(QPalette::Window) == color)
        return;
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
}

void FormColorGroup::CheckBoxColorZamokClick()
{
    color_.CheckBoxColorZamokClick(zamok_->isChecked());
    SetColorAll();
}

void FormColorGroup::colorBarChange(int component)
{
    color_.setComponent(component, static_cast<uint8_t>(bars_[component]->value()));
    SetColorAll();
}

void FormColorGroup::SaveAsColorStep()
{
    if (!avto_->isChecked())
        return;
    color_.changeAutomatically();
    SetColorAll();
}

}  // namespace tavrelia
