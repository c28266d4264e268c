#include "link_panel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QSignalBlocker>

#include "base_form.h"
#include "console.h"
#include "elided_label.h"
#include "link/link_connection.h"

namespace tavrelia {

LinkPanel::LinkPanel(TBaseForm& form)
    : QGroupBox(form.inputPage(TBaseForm::InputTab::Sinhro)), console_(form.console())
{
    setObjectName(QStringLiteral("GroupBoxLink"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    setToolTip(QStringLiteral("Общий темп и доли с программами в локальной сети"));
    // One row, the box and what the session does, under the USB group, whose column is
    // lower than OSC's and MIDI's beside it: the window keeps its size.
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    box_ = new QCheckBox(QStringLiteral("Ableton Link"), this);
    box_->setObjectName(QStringLiteral("CheckBoxLink"));
    layout->addWidget(box_);
    // A fault's long text is shortened: it never widens the window.
    peers_ = new ElidedLabel(this);
    peers_->setObjectName(QStringLiteral("LabelLinkPeers"));
    layout->addWidget(peers_, 1);
    form.addToRow(TBaseForm::InputTab::Sinhro, 1, 0, this);

    connect(box_, &QCheckBox::toggled, this, &LinkPanel::switched);
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
        peers_->setFullText(QStringLiteral("Не удалось записать файл настроек ") + console_.store.path());
}

void LinkPanel::showSession()
{
    const Connections& connections = console_.connections;
    const Connection::State state = connections.state(LinkConnection::kId);
    {
        const QSignalBlocker quiet(box_);
        box_->setChecked(state != Connection::State::Off);
    }
    const QStringList problems = connections.problems(LinkConnection::kId);
    if (!problems.isEmpty()) {
        peers_->setFullText(problems.join(QStringLiteral("; ")));
        return;
    }
    switch (state) {
    case Connection::State::Off:
        peers_->setFullText(QStringLiteral("Выключен"));
        break;
    case Connection::State::Starting:
        peers_->setFullText(QStringLiteral("Подключение..."));
        break;
    case Connection::State::On:
        peers_->setFullText(QStringLiteral("Участников: %1").arg(console_.live.linkPeers()));
        break;
    case Connection::State::Fault:
        peers_->setFullText(connections.reason(LinkConnection::kId));
        break;
    }
}

}  // namespace tavrelia
