#include "midi/midi_connection.h"

namespace tavrelia {

MidiConnection::MidiConnection(NamedControls& named, Controls& controls, SettingsStore& store, QObject* parent)
    : Connection(kId, kGroup, parent), link_(named, controls, store)
{
    connect(&link_, &MidiLink::devicesChanged, this, &MidiConnection::showDevices);
}

void MidiConnection::start(SettingsStore& store)
{
    link_.stop();
    SettingsStore::Group group = store.group(kGroup);
    device_ = group.text(QStringLiteral("Device"));
    took(group);
    link_.start(device_);
    setState(State::On);
    showDevices();
}

void MidiConnection::stop()
{
    link_.stop();
    setState(State::Off);
}

void MidiConnection::showDevices()
{
    const QStringList devices = link_.devices();
    setWhere(devices.join(QStringLiteral(", ")));
    setCounts({{QStringLiteral("devices"), quint64(devices.size())},
               {QStringLiteral("bindings"), quint64(link_.surface().map().entries().size())}});
}

}  // namespace tavrelia
