#include "surfaces/osc_connection.h"

namespace tavrelia {

OscConnection::OscConnection(NamedControls& named, PinOwner& pins, QObject* parent)
    : Connection(OscSettings::kConnection, OscSettings::kGroup, parent), server_(named, pins)
{
    connect(&server_, &OscServer::countsChanged, this, &OscConnection::showCounts);
    connect(&server_, &OscServer::pinChanged, this, &Connection::changed);
}

void OscConnection::start(SettingsStore& store)
{
    SettingsStore::Group group = store.group(OscSettings::kGroup);
    const OscSettings settings = OscSettings::read(group);
    took(group);
    QString error;
    if (!server_.start(settings, &error)) {
        setState(State::Fault, error);
        return;
    }
    setWhere(QStringLiteral("%1 port %2%3")
                 .arg(settings.address.isEmpty() ? QStringLiteral("every interface") : settings.address)
                 .arg(server_.port())
                 .arg(settings.hasFeedbackTarget() ? QStringLiteral(", feedback to %1 port %2")
                                                         .arg(settings.feedbackHost)
                                                         .arg(settings.feedbackPort)
                                                   : QString()));
    showCounts();
    setState(State::On);
}

void OscConnection::stop()
{
    server_.stop();
    setState(State::Off);
}

void OscConnection::showCounts()
{
    const OscServer::Counts& counts = server_.counts();
    setCounts({{QStringLiteral("port"), server_.port()},
               {QStringLiteral("received"), counts.received},
               {QStringLiteral("applied"), counts.applied},
               {QStringLiteral("malformed"), counts.malformed},
               {QStringLiteral("unknown"), counts.unknown},
               {QStringLiteral("refused"), counts.refused},
               {QStringLiteral("sent"), counts.sent},
               {QStringLiteral("clients"), server_.clientCount()}});
    setNote(server_.lastFault());
}

}  // namespace tavrelia
