#include "timecode/mtc_connection.h"

#include "connections/connections.h"
#include "midi/midi_connection.h"
#include "timecode/timecode.h"
#include "timecode/timecode_settings.h"

namespace tavrelia {

MtcConnection::MtcConnection(Timecode& timecode, const Connections& connections, QObject* parent)
    : Connection(kId, TimecodeSettings::kGroup, parent), timecode_(timecode), connections_(connections)
{
    connect(&timecode_, &Timecode::changed, this, &MtcConnection::show);
    connect(&connections_, &Connections::changed, this, [this](const QString& id) {
        if (id == MidiConnection::kId && state() != State::Off)
            show();
    });
}

void MtcConnection::start(SettingsStore& store)
{
    SettingsStore::Group group = store.group(TimecodeSettings::kGroup);
    const TimecodeSettings settings = TimecodeSettings::read(group);
    took(group);
    timecode_.follow(kId, settings);
    setState(State::On);
    show();
}

void MtcConnection::stop()
{
    if (timecode_.source() == kId)
        timecode_.setSource({});
    setState(State::Off);
}

void MtcConnection::show()
{
    if (state() == State::Off)
        return;
    if (connections_.state(MidiConnection::kId) != State::On) {
        setState(State::Fault, QStringLiteral("MIDI is off: [MIDI] Enabled=true opens the devices it comes on"));
        return;
    }
    setWhere(connections_.where(MidiConnection::kId));
    setCounts({{QStringLiteral("relocations"), quint64(timecode_.relocations())}});
    setState(State::On);
}

}  // namespace tavrelia
