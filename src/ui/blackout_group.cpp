#include "blackout_group.h"

#include <algorithm>

#include <QButtonGroup>
#include <QCheckBox>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "base_form.h"
#include "channel_desk_panel.h"
#include "console.h"

namespace tavrelia {

namespace {
const char* const kBlackOutHint = "Выключает все каналы DMX  Горячая кнопка = 0 = ";
}  // namespace

BlackOutGroup::BlackOutGroup(TBaseForm& form, ChannelDeskPanel& desk)
    : QObject(&form), console_(form.console()), live_(form.console().live)
{
    QWidget* page = form.ustPage(TBaseForm::UstTab::Urovni);
    checkBoxBlackOut_ = new QCheckBox(QStringLiteral("BlackOut"), page);
    checkBoxBlackOut_->setObjectName(QStringLiteral("CheckBoxBlackOut"));
    checkBoxBlackOut_->setProperty("control", QStringLiteral("blackout"));
    checkBoxBlackOut_->setToolTip(QString::fromUtf8(kBlackOutHint));
    // toggled fires only on a change: setting the state it already has runs nothing.
    connect(checkBoxBlackOut_, &QCheckBox::toggled, this, &BlackOutGroup::CheckBoxBlackOutClick);
    // Under the selected-levels bar and before the manual box.
    auto* layout = static_cast<QVBoxLayout*>(page->layout());
    layout->insertWidget(std::min(1, layout->count()), checkBoxBlackOut_);

    group_ = new QButtonGroup(this);
    speedButtonOnScena_ = addButton(desk, "SpeedButtonOnScena", QStringLiteral("Сцена"),
                                    QStringLiteral("Разрешить нормальную работу "));
    speedButtonBlackOut_ = addButton(desk, "SpeedButtonBlackOut", QStringLiteral("Black"),
                                     QString::fromUtf8(kBlackOutHint));
    speedButtonMacrosOut_ = addButton(
        desk, "SpeedButtonMacrosOut", QStringLiteral("Black M"),
        QStringLiteral("Выключает все каналы  и включает  каналы статической каркинки =M= "));
    speedButtonOnScena_->setChecked(true);
    // The blink must not shift the buttons below it.
    QSizePolicy keepPlace = speedButtonBlackOut_->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    speedButtonBlackOut_->setSizePolicy(keepPlace);

    connect(speedButtonOnScena_, &QToolButton::clicked, checkBoxBlackOut_,
            [this] { checkBoxBlackOut_->setChecked(false); });   // SpeedButtonOnScenaClick
    connect(speedButtonBlackOut_, &QToolButton::clicked, checkBoxBlackOut_,
            [this] { checkBoxBlackOut_->setChecked(true); });    // SpeedButtonBlackOutClick
    connect(speedButtonMacrosOut_, &QToolButton::clicked, checkBoxBlackOut_,
            [this] { checkBoxBlackOut_->setChecked(true); });    // SpeedButtonMacrosOutClick
    connect(speedButtonMacrosOut_, &QToolButton::toggled, this, [this](bool down) { live_.setMacro(down); });
    // The keys and the remotes switch them too.
    connect(&live_, &Controls::blackOutChanged, checkBoxBlackOut_, &QCheckBox::setChecked);
    connect(&live_, &Controls::macroChanged, this, &BlackOutGroup::showMacro);

    blinkTimer_ = new QTimer(this);
    blinkTimer_->setObjectName(QStringLiteral("TimerBlackOutBlink"));
    blinkTimer_->setInterval(kBlinkPollMs);
    connect(blinkTimer_, &QTimer::timeout, this, &BlackOutGroup::showBlink);
}

QToolButton* BlackOutGroup::addButton(ChannelDeskPanel& desk, const char* name,
                                      const QString& caption, const QString& hint)
{
    auto* button = new QToolButton(&desk);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setToolTip(hint);
    button->setCheckable(true);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    group_->addButton(button);
    desk.buttonColumn()->addWidget(button);
    return button;
}

void BlackOutGroup::CheckBoxBlackOutClick(bool checked)
{
    live_.setBlackOut(checked);   // also stops the show
    // The blink runs only while blacked out; it stops once the button is back.
    if (checked && !blinkTimer_->isActive())
        blinkTimer_->start();
    if (speedButtonMacrosOut_->isChecked())
        return;
    (checked ? speedButtonBlackOut_ : speedButtonOnScena_)->setChecked(true);
}

void BlackOutGroup::showMacro(bool down)
{
    if (down)
        speedButtonMacrosOut_->setChecked(true);
    else if (speedButtonMacrosOut_->isChecked())
        (live_.blackOut() ? speedButtonBlackOut_ : speedButtonOnScena_)->setChecked(true);
}

void BlackOutGroup::showBlink()
{
    const bool visible = console_.output.blackOutButtonVisible();
    if (speedButtonBlackOut_->isVisibleTo(speedButtonBlackOut_->parentWidget()) != visible)
        speedButtonBlackOut_->setVisible(visible);
    if (visible && !checkBoxBlackOut_->isChecked())
        blinkTimer_->stop();
}

}  // namespace tavrelia
