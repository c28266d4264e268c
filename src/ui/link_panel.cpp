#include "link_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

#include "base_form.h"
#include "console.h"

namespace tavrelia {

LinkPanel::LinkPanel(TBaseForm& form)
    : QGroupBox(QStringLiteral("Ableton Link"), form.inputPage(TBaseForm::InputTab::Opcii)),
      live_(form.console().live),
      session_(form.console().linkSession)
{
    setObjectName(QStringLiteral("GroupBoxLink"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    setCheckable(true);
    setChecked(false);
    setToolTip(QStringLiteral("Общий темп и доли с программами в локальной сети"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 2);
    peers_ = new QLabel(this);
    peers_->setObjectName(QStringLiteral("LabelLinkPeers"));
    layout->addWidget(peers_);
    form.addToRow(TBaseForm::InputTab::Opcii, 1, 0, this);

    connect(this, &QGroupBox::toggled, &live_, &Controls::setLinkEnabled);
    connect(&live_, &Controls::linkSessionChanged, this, &LinkPanel::showSession);
    connect(&form, &TBaseForm::startUpInterface, this, &LinkPanel::startUp);
    connect(&form, &TBaseForm::closeInterface, &session_, &LinkSession::stop);
    showSession();
}

void LinkPanel::startUp()
{
    QString error;
    session_.start(LinkSession::enabledSetting(&error));
    if (!error.isEmpty())
        peers_->setText(error);
}

void LinkPanel::showSession()
{
    {
        const QSignalBlocker quiet(this);
        setChecked(live_.linkEnabled());
    }
    switch (session_.state()) {
    case LinkSession::State::Off:
        peers_->setText(QStringLiteral("Выключен"));
        break;
    case LinkSession::State::Starting:
        peers_->setText(QStringLiteral("Подключение..."));
        break;
    case LinkSession::State::On:
        peers_->setText(QStringLiteral("Участников: %1").arg(session_.peers()));
        break;
    case LinkSession::State::Fault:
        peers_->setText(session_.reason());
        break;
    }
}

}  // namespace tavrelia
