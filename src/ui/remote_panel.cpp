#include "remote_panel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "base_form.h"
#include "console.h"
#include "dialogs.h"
#include "qr_code_view.h"
#include "remote/remote_settings.h"

namespace tavrelia {

RemotePanel::RemotePanel(TBaseForm& form)
    : QGroupBox(QStringLiteral("Пульт на телефоне "), form.inputPage(TBaseForm::InputTab::Opcii)),
      console_(form.console())
{
    setObjectName(QStringLiteral("GroupBoxRemote"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    buildControls();
    form.addToRow(TBaseForm::InputTab::Opcii, 1, 1, this);
    connect(&form, &TBaseForm::startUpInterface, this, &RemotePanel::startUp);
    connect(&console_.connections, &Connections::changed, this, [this](const QString& id) {
        if (id == RemoteSettings::kConnection) {
            showState();
            showClients();
        }
    });
}

void RemotePanel::buildControls()
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 4, 6, 4);
    auto* fields = new QVBoxLayout;
    fields->setSpacing(2);
    checkBoxRemote_ = new QCheckBox(QStringLiteral("Включить"), this);
    checkBoxRemote_->setObjectName(QStringLiteral("CheckBoxRemote"));
    checkBoxRemote_->setToolTip(QStringLiteral("Пульт в браузере телефона, по локальной сети"));
    connect(checkBoxRemote_, &QCheckBox::clicked, this, &RemotePanel::enabledClicked);
    fields->addWidget(checkBoxRemote_);

    auto* pinRow = new QHBoxLayout;
    pinRow->addWidget(new QLabel(QStringLiteral("PIN"), this));
    editPin_ = new QLineEdit(this);
    editPin_->setObjectName(QStringLiteral("EditRemotePin"));
    editPin_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,8}")), editPin_));
    editPin_->setPlaceholderText(QStringLiteral("4–8 цифр"));
    editPin_->setToolTip(QStringLiteral("PIN, который телефон спросит один раз; его же ждет OSC"));
    connect(editPin_, &QLineEdit::editingFinished, this, &RemotePanel::pinEdited);
    pinRow->addWidget(editPin_);
    fields->addLayout(pinRow);

    labelAddress_ = new QLabel(this);
    labelAddress_->setObjectName(QStringLiteral("LabelRemoteAddress"));
    labelAddress_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    labelAddress_->setWordWrap(true);
    labelAddress_->setToolTip(QStringLiteral("Адрес для браузера телефона"));
    fields->addWidget(labelAddress_);
    labelClients_ = new QLabel(this);
    labelClients_->setObjectName(QStringLiteral("LabelRemoteClients"));
    fields->addWidget(labelClients_);
    fields->addStretch();
    row->addLayout(fields, 1);

    qrCode_ = new QrCodeView(this);
    qrCode_->setObjectName(QStringLiteral("QrRemote"));
    qrCode_->setToolTip(QStringLiteral("Наведите камеру телефона"));
    row->addWidget(qrCode_, 0, Qt::AlignTop);
    showClients();
}

void RemotePanel::startUp()
{
    settings_ = console_.store.read<RemoteSettings>();
    checkBoxRemote_->setChecked(settings_.enabled);
    editPin_->setText(console_.pins.pin());
    showState();
}

void RemotePanel::enabledClicked(bool on)
{
    settings_.enabled = on;
    save();
}

void RemotePanel::pinEdited()
{
    const QString pin = editPin_->text();
    if (pin == console_.pins.pin())
        return;
    if (!PinGuard::valid(pin)) {
        showLine(QStringLiteral("Задайте PIN из 4–8 цифр"));
        return;
    }
    // Every phone and OSC host signed in with the old PIN is asked for the new one.
    if (!console_.pins.setPin(pin))
        Dialogs::current().critical(this, QStringLiteral("Не удалось записать файл настроек ") + console_.store.path());
    showState();
}

void RemotePanel::save()
{
    // Written, the connections start or stop the remote.
    if (!settings_.save(console_.store))
        Dialogs::current().critical(this, QStringLiteral("Не удалось записать файл настроек ") + console_.store.path());
}

void RemotePanel::showState()
{
    const Connections& connections = console_.connections;
    QString line;
    switch (connections.state(RemoteSettings::kConnection)) {
    case Connection::State::Off:
    case Connection::State::Starting:
        line = QStringLiteral("Выключен");
        break;
    case Connection::State::Fault:
        line = console_.pins.pin().isEmpty() ? QStringLiteral("Задайте PIN из 4–8 цифр")
                                             : QStringLiteral("Не запущен: ") + connections.reason(RemoteSettings::kConnection);
        break;
    case Connection::State::On:
        break;
    }
    showLine(line);
    // A bad value in [Remote], under what it does.
    const QStringList problems = connections.problems(RemoteSettings::kConnection);
    if (!problems.isEmpty())
        labelAddress_->setText(labelAddress_->text() + QLatin1Char('\n') + problems.join(QLatin1Char('\n')));
}

void RemotePanel::showLine(const QString& problem)
{
    const bool on = console_.connections.state(RemoteSettings::kConnection) == Connection::State::On;
    const QString where = console_.connections.where(RemoteSettings::kConnection);
    const QStringList urls = on && !where.isEmpty() ? where.split(QStringLiteral(", ")) : QStringList();
    labelAddress_->setText(problem.isEmpty() ? urls.join(QLatin1Char('\n')) : problem);
    qrCode_->setText(urls.value(0));
    qrCode_->setVisible(!urls.isEmpty());
}

void RemotePanel::showClients()
{
    const Connection* remote = console_.connections.find(RemoteSettings::kConnection);
    labelClients_->setText(QStringLiteral("Телефонов: %1").arg(remote ? remote->count(QStringLiteral("clients")) : 0));
}

}  // namespace tavrelia
