#include "remote/remote_connection.h"

namespace tavrelia {

RemoteConnection::RemoteConnection(NamedControls& named, PinOwner& pins, QObject* parent)
    : Connection(RemoteSettings::kConnection, RemoteSettings::kGroup, parent), server_(named, pins)
{
    connect(&server_, &RemoteServer::clientCountChanged, this, &RemoteConnection::showClients);
}

void RemoteConnection::start(SettingsStore& store)
{
    RemoteSettings::keepSessionKey(store);
    SettingsStore::Group group = store.group(RemoteSettings::kGroup);
    const RemoteSettings settings = RemoteSettings::read(group);
    took(group);
    QString error;
    if (!server_.start(settings, &error)) {
        setState(State::Fault, error);
        return;
    }
    setWhere(server_.pageUrls().join(QStringLiteral(", ")));
    showClients(server_.clientCount());
    setState(State::On);
}

void RemoteConnection::stop()
{
    server_.stop();
    setState(State::Off);
}

void RemoteConnection::showClients(int count)
{
    setCounts({{QStringLiteral("clients"), quint64(count)}});
}

}  // namespace tavrelia
