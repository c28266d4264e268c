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
#include "output/interface_settings.h"
#include "qr_code_view.h"
#include "remote/remote_server.h"

namespace tavrelia {

RemotePanel::RemotePanel(TBaseForm& form)
    : QGroupBox(QStringLiteral("Пульт на телефоне "), form.inputPage(TBaseForm::InputTab::Opcii)),
      server_(new RemoteServer(form.console().named, this)),
      osc_(form.console().osc)
{
    setObjectName(QStringLiteral("GroupBoxRemote"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    buildControls();
    form.addToRow(TBaseForm::InputTab::Opcii, 1, 1, this);
    connect(&form, &TBaseForm::startUpInterface, this, &RemotePanel::startUp);
    connect(&form, &TBaseForm::closeInterface, server_, &RemoteServer::stop);
    connect(server_, &RemoteServer::clientCountChanged, this, &RemotePanel::showClients);
}

RemotePanel::~RemotePanel() = default;

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
    showClients(0);
}

void RemotePanel::startUp()
{
    settings_ = RemoteSettings::load();
    checkBoxRemote_->setChecked(settings_.enabled);
    editPin_->setText(settings_.pin);
    apply();
}

void RemotePanel::enabledClicked(bool on)
{
    settings_.enabled = on;
    save();
    apply();
}

void RemotePanel::pinEdited()
{
    const QString pin = editPin_->text();
    if (pin == settings_.pin)
        return;
    if (!PinGuard::valid(pin)) {
        showState(QStringLiteral("Задайте PIN из 4–8 цифр"));
        return;
    }
    settings_.pin = pin;
    save();
    osc_.setPin(pin);
    // The phones signed in with the old PIN are asked for the new one.
    if (!server_->running())
        return apply();
    server_->setPin(pin);
    showState({});
}

void RemotePanel::save()
{
    if (!settings_.save()) {
        Dialogs::current().critical(
            this, QStringLiteral("Не удалось записать файл настроек ") + InterfaceSettings::filePath());
    }
}

void RemotePanel::apply()
{
    if (!settings_.enabled) {
        server_->stop();
        showState(QStringLiteral("Выключен"));
        return;
    }
    if (!PinGuard::valid(settings_.pin)) {
        server_->stop();
        showState(QStringLiteral("Задайте PIN из 4–8 цифр"));
        return;
    }
    // Kept here too, so that a restart of the server keeps the phones signed in.
    settings_.makeSessionKey();
    QString error;
    if (!server_->start(settings_, &error)) {
        showState(QStringLiteral("Не запущен: ") + error);
        return;
    }
    showState({});
}

void RemotePanel::showState(const QString& problem)
{
    const QStringList urls = server_->running() ? server_->pageUrls() : QStringList();
    labelAddress_->setText(problem.isEmpty() ? urls.join(QLatin1Char('\n')) : problem);
    qrCode_->setText(urls.value(0));
    qrCode_->setVisible(!urls.isEmpty());
}

void RemotePanel::showClients(int count)
{
    labelClients_->setText(QStringLiteral("Телефонов: %1").arg(count));
}

}  // namespace tavrelia
