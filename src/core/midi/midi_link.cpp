#include "midi/midi_link.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>

#include "output/interface_settings.h"

namespace tavrelia {

namespace {

QByteArray settingsText()
{
    QFile file(InterfaceSettings::filePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeSettingsText(const QByteArray& text)
{
    // A first binding may come before the file (or its folder) was ever written.
    QDir().mkpath(QFileInfo(InterfaceSettings::filePath()).path());
    QSaveFile file(InterfaceSettings::filePath());
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit();
}

}  // namespace

MidiLink::MidiLink(NamedControls& named, Controls& controls, QObject* parent)
    : QObject(parent), surface_(named, controls)
{
    connect(&ports_, &RawMidiPorts::received, &surface_, &MidiSurface::input);
    connect(&surface_, &MidiSurface::output, &ports_, &RawMidiPorts::send);
    connect(&surface_, &MidiSurface::learned, this, &MidiLink::store);
    // A surface that has just come shows the desk's state at once.
    connect(&ports_, &RawMidiPorts::opened, &surface_, &MidiSurface::sendAll);
    connect(&ports_, &RawMidiPorts::opened, this, &MidiLink::devicesChanged);
    connect(&ports_, &RawMidiPorts::closed, this, &MidiLink::devicesChanged);
    connect(&sequencer_, &AlsaSequencerPort::received, &surface_, &MidiSurface::input);
    connect(&surface_, &MidiSurface::output, &sequencer_, &AlsaSequencerPort::send);
    connect(&sequencer_, &AlsaSequencerPort::subscribed, &surface_, &MidiSurface::sendAll);
}

QString MidiLink::deviceSetting()
{
    const QSettings file(InterfaceSettings::filePath(), QSettings::IniFormat);
    return file.value(QStringLiteral("MIDI/Device")).toString().trimmed();
}

void MidiLink::start()
{
    loadMap();
    ports_.setDevice(deviceSetting());
    ports_.start();
    sequencer_.open();
    emit devicesChanged();
}

void MidiLink::loadMap()
{
    QList<MidiMap::Fault> faults;
    surface_.setMap(MidiMap::read(settingsText(), &MidiSurface::refusal, &faults));
    faults_.clear();
    for (const MidiMap::Fault& fault : faults)
        faults_.append(QStringLiteral("line %1: %2").arg(fault.line).arg(fault.reason));
}

void MidiLink::stop()
{
    ports_.stop();
    sequencer_.close();
    emit devicesChanged();
}

QStringList MidiLink::devices() const
{
    QStringList open = ports_.openPaths();
    if (sequencer_.isOpen())
        open.append(sequencer_.address());
    return open;
}

void MidiLink::store(const QString& name, const MidiBinding& binding, const QStringList& gone)
{
    QByteArray text = MidiMap::edited(settingsText(), name, binding);
    for (const QString& other : gone)
        text = MidiMap::edited(text, other, std::nullopt);
    emit stored(name, binding.text(), writeSettingsText(text));
}

}  // namespace tavrelia
