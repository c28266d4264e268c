#include "static_pictures_panel.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "base_form.h"
#include "console.h"
#include "key_preview.h"
#include "static_form.h"

namespace tavrelia {

namespace {

struct PictureBox {
    const char* name;
    const char* caption;
    const char* key;   // as the hint names it
};
constexpr PictureBox kBoxes[HotKeys::kPictures] = {
    {"CheckBoxChs1", "1", "1"},          {"CheckBoxChs2", "2", "2"},   {"CheckBoxChs3", "3", "3"},
    {"CheckBoxChs4", "4", "4"},          {"CheckBoxChs5", "5", "5"},   {"CheckBoxChs6", "6", "6"},
    {"CheckBoxChs7", "7", "7"},          {"CheckBoxChs8", "8", "8"},   {"CheckBoxChsSpace", "==", "Пробел"},
    {"CheckBoxChsZ", "Z", "Z"},          {"CheckBoxChsX", "X", "X"},   {"CheckBoxChsC", "C", "C"},
    {"CheckBoxChsV", "V", "V"},          {"CheckBoxChsB", "B", "B"},   {"CheckBoxChsN", "N", "N"},
    {"CheckBoxChsM", "M", "M"},
};
constexpr int kBoxColumns = 4;
constexpr int kRecordButtonOrder = 9;
constexpr int kChaserItemOrder = 1;

// A recording dot over a small picture frame.
QIcon recordIcon()
{
    QPixmap pixmap(40, 40);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 70), 2));
    p.setBrush(QColor(0, 128, 128));
    p.drawRoundedRect(QRectF(3, 7, 26, 22), 3, 3);
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(QPointF(8, 24), QPointF(15, 15));
    p.drawLine(QPointF(15, 15), QPointF(24, 24));
    p.setPen(QPen(QColor(120, 0, 0), 1.5));
    p.setBrush(QColor(220, 20, 20));
    p.drawEllipse(QPointF(29, 29), 9, 9);
    return QIcon(pixmap);
}

}  // namespace

StaticPicturesPanel::StaticPicturesPanel(TBaseForm& form)
    : QWidget(form.ustPage(TBaseForm::UstTab::StatKartiny)),
      form_(form),
      live_(form.console().live)
{
    setObjectName(QStringLiteral("StaticPicturesPanel"));
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(2);

    auto* top = new QHBoxLayout;
    flashOn_ = new QCheckBox(QStringLiteral("Включить клавиатуру"), this);
    flashOn_->setObjectName(QStringLiteral("CheckBoxFlashOn"));
    flashOn_->setToolTip(QStringLiteral("Включить / Выключить флэш - кнопки клавиатуры"));
    flashOn_->setChecked(true);
    connect(flashOn_, &QCheckBox::toggled, this, &StaticPicturesPanel::CheckBoxFlashOnClick);
    connect(&live_, &Controls::keysChanged, flashOn_, &QCheckBox::setChecked);
    top->addWidget(flashOn_);
    labelKeySp_ = new QLabel(QStringLiteral("Клавиатура ?"), this);
    labelKeySp_->setObjectName(QStringLiteral("LabelKeySp"));
    labelKeySp_->setMinimumWidth(labelKeySp_->fontMetrics().horizontalAdvance(
        QStringLiteral("NomberKey is 189")));
    top->addWidget(labelKeySp_, 1, Qt::AlignRight);
    rows->addLayout(top);
    buildBoxes();
    parentWidget()->layout()->addWidget(this);

    editor_ = new TStaticForm(form_);
    buildEditorEntries();

    KeyPreview* keys = form_.keyPreview();
    connect(keys, &KeyPreview::keyDown, this, &StaticPicturesPanel::FormKeyDown);
    connect(keys, &KeyPreview::keyUp, this, &StaticPicturesPanel::FormKeyUp);
    // A new show starts on this tab.
    connect(&form_, &TBaseForm::showCleared, this,
            [this] { form_.pageControlUst()->setCurrentWidget(parentWidget()); });
}

void StaticPicturesPanel::buildBoxes()
{
    auto* group = new QGroupBox(QStringLiteral(" Статические картинки "), this);
    group->setObjectName(QStringLiteral("GroupBoxStatic"));
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(6, 2, 6, 2);
    grid->setVerticalSpacing(0);
    for (int k = 0; k < HotKeys::kPictures; ++k) {
        const PictureBox& info = kBoxes[k];
        auto* box = new QCheckBox(QString::fromUtf8(info.caption), group);
        box->setObjectName(QString::fromLatin1(info.name));
        box->setProperty("control", QStringLiteral("picture/%1").arg(k + 1));
        box->setToolTip(QStringLiteral("Запрограммированая статическая картинка - Горячая кнопка =")
                        + QString::fromUtf8(info.key) + QStringLiteral("= "));
        connect(box, &QCheckBox::toggled, this, [this, k](bool on) { live_.setPicture(k + 1, on); });
        grid->addWidget(box, k / kBoxColumns, k % kBoxColumns);
        boxes_[k] = box;
    }
    static_cast<QVBoxLayout*>(layout())->addWidget(group);
    // Whoever holds a picture, the box shows it.
    connect(&live_, &Controls::pictureChanged, this,
            [this](int picture, bool on) { boxes_[picture - 1]->setChecked(on); });
}

void StaticPicturesPanel::buildEditorEntries()
{
    auto* item = new QAction(QStringLiteral("Запись и редактирование Статических картинок"), this);
    item->setObjectName(QStringLiteral("ChaserItem"));
    connect(item, &QAction::triggered, editor_, &TStaticForm::ChaserItemClick);
    form_.addMenuEntry(TBaseForm::MenuId::Opcii, kChaserItemOrder, item);

    auto* button = new QToolButton(&form_);
    button->setObjectName(QStringLiteral("SpeedButtonRECORD"));
    button->setToolTip(QStringLiteral("Запись статических картинок "));
    button->setIcon(recordIcon());
    connect(button, &QToolButton::clicked, editor_, &TStaticForm::ChaserItemClick);
    form_.addToolButton(kRecordButtonOrder, button);
}

void StaticPicturesPanel::CheckBoxFlashOnClick(bool checked)
{
    live_.setKeys(checked);
    form_.keyPreview()->setPreview(checked);
}

void StaticPicturesPanel::FormKeyDown(int virtualKey)
{
    labelKeySp_->setText(QStringLiteral("NomberKey is ") + QString::number(virtualKey));
    switch (HotKeys::actionOf(virtualKey)) {
    case HotKeys::Action::Picture:
        live_.setPicture(HotKeys::pictureOfKey(virtualKey) + 1, true);
        break;
    case HotKeys::Action::BlackOut:
        live_.setBlackOut(!live_.blackOut());
        break;
    case HotKeys::Action::Play:
        live_.play();
        break;
    case HotKeys::Action::Stop:
        live_.stop();
        break;
    case HotKeys::Action::Tap:
        live_.tap();
        break;
    case HotKeys::Action::Ctrl:   // the key preview keeps the flag
    case HotKeys::Action::None:
        break;
    }
}

void StaticPicturesPanel::FormKeyUp(int virtualKey, bool ctrlHeld)
{
    const int picture = HotKeys::pictureReleasedBy(virtualKey, ctrlHeld);
    if (picture >= 0)
        live_.setPicture(picture + 1, false);
}

}  // namespace tavrelia
