#include "midi/midi_link.h"

namespace tavrelia {

MidiLink::MidiLink(NamedControls& named, Controls& controls, SettingsStore& store, QObject* parent)
    : QObject(parent), store_(store), surface_(named, controls)
{
    using Read = std::chrono::steady_clock::time_point;
    connect(&ports_, &RawMidiPorts::received, &surface_,
            qOverload<const QString&, const QByteArray&, Read>(&MidiSurface::input));
    connect(&surface_, &MidiSurface::output, &ports_, &RawMidiPorts::send);
    connect(&surface_, &MidiSurface::learned, this, &MidiLink::store);
    // A surface that has just come shows the desk's state at once.
    connect(&ports_, &RawMidiPorts::opened, &surface_, &MidiSurface::sendAll);
    connect(&ports_, &RawMidiPorts::opened, this, &MidiLink::devicesChanged);
    connect(&ports_, &RawMidiPorts::closed, this, &MidiLink::devicesChanged);
    // The sequencer's events are read on the event loop: stamped as they are handled.
    connect(sequencer_.get(), &SequencerPort::received, &surface_,
            qOverload<const QString&, const QByteArray&>(&MidiSurface::input));
    connect(&surface_, &MidiSurface::output, sequencer_.get(), &SequencerPort::send);
    connect(sequencer_.get(), &SequencerPort::subscribed, &surface_, &MidiSurface::sendAll);
}

MidiLink::~MidiLink()
{
    blockSignals(true);
}

void MidiLink::start(const QString& device)
{
    loadMap();
    ports_.setDevice(device);
    ports_.start();
    sequencer_->open();
    emit devicesChanged();
}

void MidiLink::loadMap()
{
    QList<MidiMap::Fault> faults;
    surface_.setMap(MidiMap::read(store_.group(MidiMap::kGroup), &MidiSurface::refusal, &faults));
    faults_.clear();
    for (const MidiMap::Fault& fault : faults)
        faults_.append(QStringLiteral("line %1: %2").arg(fault.line).arg(fault.reason));
}

void MidiLink::stop()
{
    ports_.stop();
    sequencer_->close();
    emit devicesChanged();
}

QStringList MidiLink::devices() const
{
    QStringList open = ports_.openPaths();
    if (sequencer_->isOpen())
        open.append(sequencer_->address());
    return open;
}

void MidiLink::store(const QString& name, const MidiBinding& binding, const QStringList& gone)
{
    QList<SettingsStore::Edit> edits = {MidiMap::edit(name, binding)};
    for (const QString& other : gone)
        edits.append(MidiMap::edit(other, std::nullopt));
    emit stored(name, binding.text(), store_.write(MidiMap::kGroup, edits));
}

}  // namespace tavrelia
