#include "timecode_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include "base_form.h"
#include "console.h"
#include "dialogs.h"
#include "elided_label.h"
#include "timecode/timecode_settings.h"
#include "timecode_list_window.h"

namespace tavrelia {

TimecodePanel::TimecodePanel(TBaseForm& form)
    : QGroupBox(QStringLiteral("Таймкод"), form.inputPage(TBaseForm::InputTab::Sinhro)), console_(form.console())
{
    setObjectName(QStringLiteral("GroupBoxTimecode"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 2);
    layout->setSpacing(2);
    auto* top = new QHBoxLayout;
    source_ = new QComboBox(this);
    source_->setObjectName(QStringLiteral("ComboBoxTimecodeSource"));
    source_->addItems({QStringLiteral("Нет"), QStringLiteral("MIDI (MTC)"), QStringLiteral("LTC (звук)")});
    source_->setToolTip(QStringLiteral("Откуда приходит таймкод"));
    time_ = new QLabel(this);
    time_->setObjectName(QStringLiteral("LabelTimecodeTime"));
    time_->setMinimumWidth(time_->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00:00 ")));
    rate_ = new QLabel(this);
    rate_->setObjectName(QStringLiteral("LabelTimecodeRate"));
    state_ = new QLabel(this);
    state_->setObjectName(QStringLiteral("LabelTimecodeState"));
    top->addWidget(source_);
    top->addWidget(time_);
    top->addWidget(rate_);
    top->addWidget(state_, 1);
    layout->addLayout(top);

    auto* row = new QHBoxLayout;
    chase_ = new QCheckBox(QStringLiteral("Следовать"), this);
    chase_->setObjectName(QStringLiteral("CheckBoxTimecodeChase"));
    chase_->setProperty("control", QStringLiteral("timecode/chase"));
    chase_->setToolTip(QStringLiteral("Сцены меняются по списку таймкода шоу"));
    record_ = new QCheckBox(QStringLiteral("Запись"), this);
    record_->setObjectName(QStringLiteral("CheckBoxTimecodeRecord"));
    record_->setProperty("control", QStringLiteral("timecode/record"));
    record_->setToolTip(QStringLiteral("Смены сцен добавляются в список в момент таймкода"));
    list_ = new QToolButton(this);
    list_->setObjectName(QStringLiteral("SpeedButtonTimecodeList"));
    list_->setText(QStringLiteral("Список..."));
    problems_ = ElidedLabel::problems("LabelTimecodeProblems", this);
    row->addWidget(chase_);
    row->addWidget(record_);
    row->addWidget(list_);
    row->addWidget(problems_, 1);
    layout->addLayout(row);
    form.addToRow(TBaseForm::InputTab::Sinhro, 0, 1, this);

    Controls& live = console_.live;
    connect(source_, &QComboBox::activated, this, &TimecodePanel::sourceChosen);
    connect(chase_, &QCheckBox::toggled, &live, &Controls::setTimecodeChase);
    connect(record_, &QCheckBox::toggled, &live, &Controls::setTimecodeRecord);
    connect(&live, &Controls::timecodeChaseChanged, chase_, &QCheckBox::setChecked);
    connect(&live, &Controls::timecodeRecordChanged, record_, &QCheckBox::setChecked);
    connect(&live, &Controls::timecodeChanged, this, &TimecodePanel::showTime);
    connect(list_, &QToolButton::clicked, this, &TimecodePanel::openList);
    connect(&console_.timecode, &Timecode::listChanged, this, &TimecodePanel::showList);
    connect(&console_.connections, &Connections::changed, this, [this](const QString& id) {
        if (id == QLatin1String("mtc") || id == QLatin1String("ltc") || id == QLatin1String("midi"))
            showSource();
    });
    showSource();
    showTime();
    showList();
}

// Written, the connections start the source chosen and stop the other.
void TimecodePanel::sourceChosen(int index)
{
    if (!console_.store.write(TimecodeSettings::kGroup,
                              {{QStringLiteral("Source"), TimecodeSettings::kSources.value(index)}}))
        Dialogs::current().critical(this, QStringLiteral("Не удалось записать файл настроек ") + console_.store.path());
    showSource();
}

void TimecodePanel::showSource()
{
    QStringList problems = console_.connections.problems(QStringLiteral("mtc"));
    const QString source = console_.store.read<TimecodeSettings>().source;
    {
        const QSignalBlocker quiet(source_);
        source_->setCurrentIndex(int(TimecodeSettings::kSources.indexOf(source)));
    }
    if (source != QLatin1String("none") && console_.connections.state(source) == Connection::State::Fault)
        problems.append(console_.connections.reason(source));
    problems += console_.timecode.listProblems();
    problems_->setFullText(problems.join(QStringLiteral("; ")));
    problems_->setVisible(!problems.isEmpty());
}

void TimecodePanel::showTime()
{
    const Timecode& timecode = console_.timecode;
    const QString text = timecode.text();
    time_->setText(text.isEmpty() ? QStringLiteral("--:--:--:--") : text);
    rate_->setText(timecode.known() ? TimecodeTime::rateText(timecode.rate()) : QString());
    state_->setText(Timecode::stateText(timecode.state()));
}

void TimecodePanel::showList()
{
    const TimecodeList& list = console_.timecode.list();
    list_->setToolTip(list.path().isEmpty() ? QStringLiteral("Список сохранится вместе с шоу")
                                            : QStringLiteral("%1: строк %2").arg(list.path()).arg(list.size()));
    showSource();
}

void TimecodePanel::openList()
{
    if (!window_)
        window_ = new TimecodeListWindow(console_, this);
    window_->show();
    window_->raise();
}

}  // namespace tavrelia
