#include "link_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

#include "base_form.h"
#include "console.h"
#include "link/link_connection.h"

namespace tavrelia {

LinkPanel::LinkPanel(TBaseForm& form)
    : QGroupBox(QStringLiteral("Ableton Link"), form.inputPage(TBaseForm::InputTab::Opcii)),
      console_(form.console())
{
    setObjectName(QStringLiteral("GroupBoxLink"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    setCheckable(true);
    setToolTip(QStringLiteral("Общий темп и доли с программами в локальной сети"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 2);
    peers_ = new QLabel(this);
    peers_->setObjectName(QStringLiteral("LabelLinkPeers"));
    layout->addWidget(peers_);
    form.addToRow(TBaseForm::InputTab::Opcii, 1, 0, this);

    connect(this, &QGroupBox::toggled, this, &LinkPanel::switched);
    connect(&console_.connections, &Connections::changed, this, [this](const QString& id) {
        if (id == LinkConnection::kId)
            showSession();
    });
    showSession();
}

// The switch is written; the connections start or stop the session from the file.
void LinkPanel::switched(bool on)
{
    if (!console_.store.write(LinkConnection::kGroup, {{QStringLiteral("Enabled"), on ? "true" : "false"}}))
        peers_->setText(QStringLiteral("Не удалось записать файл настроек ") + console_.store.path());
}

void LinkPanel::showSession()
{
    const Connections& connections = console_.connections;
    const Connection::State state = connections.state(LinkConnection::kId);
    {
        const QSignalBlocker quiet(this);
        setChecked(state != Connection::State::Off);
    }
    const QStringList problems = connections.problems(LinkConnection::kId);
    if (!problems.isEmpty()) {
        peers_->setText(problems.join(QStringLiteral("; ")));
        return;
    }
    switch (state) {
    case Connection::State::Off:
        peers_->setText(QStringLiteral("Выключен"));
        break;
    case Connection::State::Starting:
        peers_->setText(QStringLiteral("Подключение..."));
        break;
    case Connection::State::On:
        peers_->setText(QStringLiteral("Участников: %1").arg(console_.live.linkPeers()));
        break;
    case Connection::State::Fault:
        peers_->setText(connections.reason(LinkConnection::kId));
        break;
    }
}

}  // namespace tavrelia
