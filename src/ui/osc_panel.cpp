#include "osc_panel.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>

#include "base_form.h"
#include "console.h"
#include "output/interface_settings.h"

namespace tavrelia {

namespace {
// The counts are shown at most this often, however fast the datagrams come.
constexpr int kCountsRefreshMs = 250;
}  // namespace

OscPanel::OscPanel(TBaseForm& form)
    : QGroupBox(QStringLiteral("OSC"), form.inputPage(TBaseForm::InputTab::Opcii)), server_(form.console().osc)
{
    setObjectName(QStringLiteral("GroupBoxOsc"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    buildControls();
    parentWidget()->layout()->addWidget(this);

    countsTimer_ = new QTimer(this);
    countsTimer_->setSingleShot(true);
    countsTimer_->setInterval(kCountsRefreshMs);
    connect(countsTimer_, &QTimer::timeout, this, &OscPanel::showCounts);
    connect(&server_, &OscServer::countsChanged, this, [this] {
        if (!countsTimer_->isActive())
            countsTimer_->start();
    });
    connect(&form, &TBaseForm::startUpInterface, this, &OscPanel::startUp);
    connect(&form, &TBaseForm::closeInterface, this, &OscPanel::closeDown);
}

QSpinBox* OscPanel::portBox(const char* name, int minimum)
{
    auto* box = new QSpinBox(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(minimum, 65535);
    connect(box, &QSpinBox::editingFinished, this, &OscPanel::settingsEdited);
    return box;
}

void OscPanel::buildControls()
{
    auto* layout = new QFormLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setVerticalSpacing(2);

    checkBoxEnabled_ = new QCheckBox(QStringLiteral("Принимать команды по сети"), this);
    checkBoxEnabled_->setObjectName(QStringLiteral("CheckBoxOscEnabled"));
    connect(checkBoxEnabled_, &QCheckBox::toggled, this, &OscPanel::settingsEdited);
    layout->addRow(checkBoxEnabled_);

    auto* listen = new QHBoxLayout;
    spinPort_ = portBox("SpinEditOscPort", 1);
    editAddress_ = new QLineEdit(this);
    editAddress_->setObjectName(QStringLiteral("EditOscAddress"));
    editAddress_->setPlaceholderText(QStringLiteral("все интерфейсы"));
    editAddress_->setToolTip(QStringLiteral("IP-адрес этого компьютера, на котором ждать команд"));
    connect(editAddress_, &QLineEdit::editingFinished, this, &OscPanel::settingsEdited);
    listen->addWidget(spinPort_);
    listen->addWidget(new QLabel(QStringLiteral("Адрес"), this));
    listen->addWidget(editAddress_, 1);
    layout->addRow(QStringLiteral("Порт"), listen);

    auto* feedback = new QHBoxLayout;
    editFeedbackHost_ = new QLineEdit(this);
    editFeedbackHost_->setObjectName(QStringLiteral("EditOscFeedbackHost"));
    editFeedbackHost_->setPlaceholderText(QStringLiteral("IP-адрес"));
    editFeedbackHost_->setToolTip(QStringLiteral("Куда еще посылать состояние пульта"));
    connect(editFeedbackHost_, &QLineEdit::editingFinished, this, &OscPanel::settingsEdited);
    spinFeedbackPort_ = portBox("SpinEditOscFeedbackPort", 0);
    spinFeedbackPort_->setSpecialValueText(QStringLiteral("нет"));
    feedback->addWidget(editFeedbackHost_, 1);
    feedback->addWidget(spinFeedbackPort_);
    layout->addRow(QStringLiteral("Ответ"), feedback);

    labelState_ = new QLabel(this);
    labelState_->setObjectName(QStringLiteral("LabelOscState"));
    labelState_->setWordWrap(true);
    labelCounts_ = new QLabel(this);
    labelCounts_->setObjectName(QStringLiteral("LabelOscCounts"));
    labelCounts_->setWordWrap(true);
    labelLastFault_ = new QLabel(this);
    labelLastFault_->setObjectName(QStringLiteral("LabelOscLastFault"));
    labelLastFault_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addRow(labelState_);
    layout->addRow(labelCounts_);
    layout->addRow(labelLastFault_);
    showSettings(settings_);
    showCounts();
}

void OscPanel::showSettings(const OscSettings& settings)
{
    const QSignalBlocker blockEnabled(checkBoxEnabled_);
    const QSignalBlocker blockPort(spinPort_);
    const QSignalBlocker blockFeedbackPort(spinFeedbackPort_);
    checkBoxEnabled_->setChecked(settings.enabled);
    spinPort_->setValue(settings.port);
    editAddress_->setText(settings.address);
    editFeedbackHost_->setText(settings.feedbackHost);
    spinFeedbackPort_->setValue(settings.feedbackPort);
}

void OscPanel::startUp()
{
    QString problems;
    const OscSettings settings = OscSettings::load(&problems);
    showSettings(settings);
    apply(settings);
    if (!problems.isEmpty())
        labelState_->setText(labelState_->text() + QLatin1Char('\n') + problems.trimmed());
}

void OscPanel::closeDown()
{
    server_.stop();
}

void OscPanel::settingsEdited()
{
    OscSettings edited;
    edited.enabled = checkBoxEnabled_->isChecked();
    edited.port = static_cast<uint16_t>(spinPort_->value());
    edited.address = editAddress_->text().trimmed();
    edited.feedbackHost = editFeedbackHost_->text().trimmed();
    edited.feedbackPort = static_cast<uint16_t>(spinFeedbackPort_->value());
    for (const QString& address : {edited.address, edited.feedbackHost}) {
        if (!address.isEmpty() && !OscSettings::numericAddress(address)) {
            labelState_->setText(QStringLiteral("Не IP-адрес: %1").arg(address));
            return;
        }
    }
    if (edited == settings_)
        return;
    apply(edited);
    if (!edited.save())
        labelState_->setText(QStringLiteral("Не удалось записать файл настроек ") + InterfaceSettings::filePath());
}

void OscPanel::apply(const OscSettings& settings)
{
    settings_ = settings;
    if (!settings.enabled) {
        server_.stop();
        labelState_->setText(QStringLiteral("Выключено"));
        return;
    }
    QString error;
    if (server_.start(settings, &error))
        labelState_->setText(QStringLiteral("Ждет команд на порту %1").arg(server_.port()));
    else
        labelState_->setText(QStringLiteral("Не работает: %1").arg(error));
}

void OscPanel::showCounts()
{
    const OscServer::Counts& counts = server_.counts();
    labelCounts_->setText(QStringLiteral("Принято %1, выполнено %2; отброшено: ошибочных %3, неизвестных %4, "
                                         "недопустимых %5. Отправлено %6, клиентов %7")
                              .arg(counts.received)
                              .arg(counts.applied)
                              .arg(counts.malformed)
                              .arg(counts.unknown)
                              .arg(counts.refused)
                              .arg(counts.sent)
                              .arg(server_.clientCount()));
    labelLastFault_->setText(server_.lastFault());
}

}  // namespace tavrelia
