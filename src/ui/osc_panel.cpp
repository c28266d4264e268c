#include "osc_panel.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>

#include <iterator>

#include "base_form.h"
#include "console.h"
#include "surfaces/osc_connection.h"
#include "wrapped_label.h"

namespace tavrelia {

namespace {
// The counts are shown at most this often, however fast the datagrams come.
constexpr int kCountsRefreshMs = 250;

struct CountShown {
    const char* objectName;
    const char* caption;
    const char* count;   // the connection's
};
// Two to a row, the shorter captions on the left.
constexpr CountShown kCounts[] = {
    {"LabelOscReceived", "Принято", "received"},     {"LabelOscApplied", "Выполнено", "applied"},
    {"LabelOscMalformed", "Ошибочных", "malformed"}, {"LabelOscUnknown", "Неизвестных", "unknown"},
    {"LabelOscRefused", "Отклонено", "refused"},     {"LabelOscSent", "Отправлено", "sent"},
    {"LabelOscClients", "Клиентов", "clients"},
};
}  // namespace

OscPanel::OscPanel(TBaseForm& form)
    : QGroupBox(QStringLiteral("OSC"), form.inputPage(TBaseForm::InputTab::Opcii)), console_(form.console())
{
    setObjectName(QStringLiteral("GroupBoxOsc"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    // The title's box switches it on: the group's fields wait greyed while it is off.
    setCheckable(true);
    setToolTip(QStringLiteral("Принимать команды по сети"));
    connect(this, &QGroupBox::toggled, this, &OscPanel::settingsEdited);
    buildControls();
    // Beside the other narrow groups: the tab has no height to spare.
    form.addToRow(TBaseForm::InputTab::Opcii, 0, 1, this);

    countsTimer_ = new QTimer(this);
    countsTimer_->setSingleShot(true);
    countsTimer_->setInterval(kCountsRefreshMs);
    connect(countsTimer_, &QTimer::timeout, this, &OscPanel::showCounts);
    connect(&console_.connections, &Connections::changed, this, [this](const QString& id) {
        if (id != OscConnection::kId)
            return;
        showState();
        if (!countsTimer_->isActive())
            countsTimer_->start();
    });
    connect(&console_.pins, &PinOwner::changed, this, &OscPanel::showState);
    connect(&form, &TBaseForm::startUpInterface, this, &OscPanel::startUp);
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
    // Tight: the group shares its row with the USB group and the tab has no height to spare.
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setVerticalSpacing(1);


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

    labelState_ = messageLabel("LabelOscState");
    layout->addRow(labelState_);
    auto* counts = new QGridLayout;
    counts->setHorizontalSpacing(4);
    counts->setVerticalSpacing(0);
    for (size_t i = 0; i < std::size(kCounts); ++i) {
        const int row = static_cast<int>(i / 2);
        const int column = static_cast<int>(i % 2) * 2;
        counts->addWidget(new QLabel(QString::fromUtf8(kCounts[i].caption), this), row, column);
        countLabels_[i] = new QLabel(this);
        countLabels_[i]->setObjectName(QString::fromLatin1(kCounts[i].objectName));
        counts->addWidget(countLabels_[i], row, column + 1);
    }
    counts->setColumnStretch(1, 1);
    counts->setColumnStretch(3, 1);
    layout->addRow(counts);
    // The last drop below the counts, across the group: its reason names the sender.
    labelLastFault_ = messageLabel("LabelOscLastFault");
    layout->addRow(labelLastFault_);
    showSettings(settings_);
    showCounts();
}

void OscPanel::showSettings(const OscSettings& settings)
{
    const QSignalBlocker blockEnabled(this);
    const QSignalBlocker blockPort(spinPort_);
    const QSignalBlocker blockFeedbackPort(spinFeedbackPort_);
    setChecked(settings.enabled);
    spinPort_->setValue(settings.port);
    editAddress_->setText(settings.address);
    editFeedbackHost_->setText(settings.feedbackHost);
    spinFeedbackPort_->setValue(settings.feedbackPort);
}

void OscPanel::startUp()
{
    settings_ = console_.store.read<OscSettings>();
    showSettings(settings_);
    showState();
}

void OscPanel::settingsEdited()
{
    OscSettings edited;
    edited.enabled = isChecked();
    edited.port = static_cast<uint16_t>(spinPort_->value());
    edited.address = editAddress_->text().trimmed();
    edited.feedbackHost = editFeedbackHost_->text().trimmed();
    edited.feedbackPort = static_cast<uint16_t>(spinFeedbackPort_->value());
    for (const QString& address : {edited.address, edited.feedbackHost}) {
        if (!address.isEmpty() && !SettingsStore::numericAddress(address)) {
            labelState_->setText(QStringLiteral("Не IP-адрес: %1").arg(address));
            return;
        }
    }
    if (edited == settings_)
        return;
    settings_ = edited;
    // Written, the connections start, restart or stop OSC.
    if (!edited.save(console_.store))
        labelState_->setText(QStringLiteral("Не удалось записать файл настроек ") + console_.store.path());
}

void OscPanel::showState()
{
    const Connections& connections = console_.connections;
    const Connection* osc = connections.find(OscConnection::kId);
    QString text;
    switch (connections.state(OscConnection::kId)) {
    case Connection::State::Off:
    case Connection::State::Starting:
        text = QStringLiteral("Выключено");
        break;
    case Connection::State::Fault:
        text = QStringLiteral("Не работает: %1").arg(osc->reason());
        break;
    case Connection::State::On:
        const quint64 port = osc->count(QStringLiteral("port"));
        text = console_.pins.pin().isEmpty()
                   ? QStringLiteral("Порт %1: нет PIN, команды не принимаются").arg(port)
                   : QStringLiteral("Ждет команд на порту %1").arg(port);
        break;
    }
    const QStringList problems = connections.problems(OscConnection::kId);
    if (!problems.isEmpty())
        text += QStringLiteral("; ") + problems.join(QStringLiteral("; "));
    labelState_->setText(text);
}

void OscPanel::showCounts()
{
    const Connection* osc = console_.connections.find(OscConnection::kId);
    for (size_t i = 0; i < std::size(kCounts); ++i)
        countLabels_[i]->setText(QString::number(osc ? osc->count(QString::fromLatin1(kCounts[i].count)) : 0));
    // The last drop while listening: a listener that is off or failed says why in its state.
    const QString fault = osc && osc->state() == Connection::State::On ? osc->note() : QString();
    labelLastFault_->setText(fault.isEmpty() ? QString() : QStringLiteral("Ошибка: ") + fault);
    labelLastFault_->setVisible(!fault.isEmpty());
}

WrappedLabel* OscPanel::messageLabel(const char* name)
{
    // Whole, on as many lines as it takes: a message cut short says nothing.
    auto* label = new WrappedLabel(this);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

}  // namespace tavrelia
