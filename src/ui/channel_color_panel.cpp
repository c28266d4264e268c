#include "channel_color_panel.h"

#include <QGridLayout>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>

#include "base_form.h"
#include "color_swatch.h"
#include "console.h"
#include "dialogs.h"

namespace tavrelia {

namespace {
constexpr int kLightest = 128;   // name fields stay light
constexpr int kNameBarStart = 196;
constexpr int kBarHeight = 17;

QToolButton* button(QWidget* parent, const char* name, const char* caption, const char* hint)
{
    auto* created = new QToolButton(parent);
    created->setObjectName(QString::fromLatin1(name));
    created->setText(QString::fromUtf8(caption));
    created->setToolTip(QString::fromUtf8(hint));
    created->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return created;
}
}  // namespace

ChannelColorPanel::ChannelColorPanel(TBaseForm& form)
    : QWidget(form.tempPage(TBaseForm::TempTab::CvetKanala)), form_(form), console_(form.console())
{
    setObjectName(QStringLiteral("ChannelColorPanel"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(3);

    static constexpr const char* kNameBars[] = {"ScrollBar31", "ScrollBar32", "ScrollBar33"};
    for (int component = 0; component < 3; ++component) {
        QScrollBar* b = bar(kNameBars[component], kLightest, 255, kNameBarStart,
                            "Цвет пля для ввода имени канала ");
        connect(b, &QScrollBar::valueChanged, this,
                [this, component] { nameColorBarChange(component); });
        grid->addWidget(b, component, 0, 1, 2);
        nameBars_[component] = b;
    }
    shapeCltrey_ = new ColorSwatch(this);
    shapeCltrey_->setObjectName(QStringLiteral("ShapeCltrey"));
    shapeCltrey_->setBrushColor(QColor(kNameBarStart, kNameBarStart, kNameBarStart));
    shapeCltrey_->setMinimumWidth(40);
    grid->addWidget(shapeCltrey_, 0, 2, 3, 1);

    labelEditColor_ = new QLabel(QStringLiteral("---"), this);
    labelEditColor_->setObjectName(QStringLiteral("LabelEditColor"));
    grid->addWidget(labelEditColor_, 3, 0, 1, 2);
    auto* off = button(this, "SpeedButton21", "OFF", "Выключить изменение цвета");
    connect(off, &QToolButton::clicked, this, &ChannelColorPanel::SpeedButton21Click);
    grid->addWidget(off, 3, 2);

    channelBar_ = bar("ScrollBar35", 1, 255, 1, "Выбор канала для графической подсказки");
    connect(channelBar_, &QScrollBar::valueChanged, this, &ChannelColorPanel::ScrollBar35Change);
    grid->addWidget(channelBar_, 4, 0, 1, 3);
    pictureBar_ = bar("ScrollBar36", 0, 255, 0,
                      "Установка типа изображения сопоставимого с типом регулировки прибора");
    connect(pictureBar_, &QScrollBar::valueChanged, this, &ChannelColorPanel::ScrollBar36Change);
    grid->addWidget(pictureBar_, 5, 0, 1, 2);
    auto* setColor = button(this, "SpeedButton22", "setColor", "Устанвить выбранный Цвет группы");
    connect(setColor, &QToolButton::clicked, this, &ChannelColorPanel::SpeedButton22Click);
    grid->addWidget(setColor, 5, 2);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(6, 1);
    parentWidget()->layout()->addWidget(this);

    connect(&console_.colors, &ChannelColors::editChannelChanged, this, &ChannelColorPanel::UpdateScrollRGBtxt);
    connect(&form_, &TBaseForm::startUpTables, this, &ChannelColorPanel::LoadColorEdit);
    connect(&form_, &TBaseForm::closeWindows, this, &ChannelColorPanel::SaveColorEdit);
}

QScrollBar* ChannelColorPanel::bar(const char* name, int min, int max, int value, const char* hint)
{
    auto* created = new QScrollBar(Qt::Horizontal, this);
    created->setObjectName(QString::fromLatin1(name));
    created->setRange(min, max);
    created->setValue(value);
    created->setPageStep(10);
    created->setFixedHeight(kBarHeight);
    created->setToolTip(QString::fromUtf8(hint));
    return created;
}

void ChannelColorPanel::UpdateScrollRGBtxt(int channel)
{
    if (channel == ChannelColors::kNoChannel) {
        labelEditColor_->setText(QStringLiteral("Нет выбора"));
        return;
    }
    const ChannelColors::Rgb c = console_.colors.nameColor(channel);
    // Each bar clamps to its range and runs its handler when its position moves.
    nameBars_[0]->setValue(c.red);
    nameBars_[1]->setValue(c.green);
    nameBars_[2]->setValue(c.blue);
    labelEditColor_->setText(QString::number(channel));
}

void ChannelColorPanel::nameColorBarChange(int component)
{
    shapeCltrey_->setBrushColor(
        QColor(nameBars_[0]->value(), nameBars_[1]->value(), nameBars_[2]->value()));
    console_.colors.setEditedComponent(component, static_cast<uint8_t>(nameBars_[component]->value()));
}

void ChannelColorPanel::SpeedButton21Click()
{
    console_.colors.setEditChannel(ChannelColors::kNoChannel);
}

void ChannelColorPanel::showPictureLabel()
{
    labelEditColor_->setText(QStringLiteral("Канал: %1 - N: %2")
                                 .arg(channelBar_->value())
                                 .arg(pictureBar_->value()));
}

void ChannelColorPanel::ScrollBar35Change()
{
    showPictureLabel();
}

void ChannelColorPanel::ScrollBar36Change()
{
    showPictureLabel();
    console_.colors.setPicture(channelBar_->value(), static_cast<uint8_t>(pictureBar_->value()));
}

void ChannelColorPanel::SpeedButton22Click()
{
    console_.colors.setGroupColor(channelBar_->value(),
                                  {static_cast<uint8_t>(nameBars_[0]->value()),
                                   static_cast<uint8_t>(nameBars_[1]->value()),
                                   static_cast<uint8_t>(nameBars_[2]->value())});
}

void ChannelColorPanel::LoadColorEdit()
{
    const FileResult result = console_.colorFile.LoadColorEdit(console_.folder.colorFile());
    if (result.status == FileResult::Status::Missing)
        Dialogs::current().critical(&form_, QStringLiteral("Файл -Color- не существует !"));
    else if (!result.done())
        Dialogs::current().critical(&form_, result.error);
}

void ChannelColorPanel::SaveColorEdit()
{
    const QString error = console_.saveColorFile();
    if (!error.isEmpty())
        Dialogs::current().critical(&form_, error);
}

}  // namespace tavrelia
