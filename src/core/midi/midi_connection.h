#pragma once

#include "connections/connection.h"
#include "midi/midi_link.h"

namespace tavrelia {

// MIDI as a connection: the raw devices of [MIDI] Device= (every one found when it
// is empty), the sequencer's port and the map of [MIDI map].
class MidiConnection : public Connection {
    Q_OBJECT
public:
    static inline const QString kId = QStringLiteral("midi");
    static inline const QString kGroup = QStringLiteral("MIDI");

    MidiConnection(NamedControls& named, Controls& controls, SettingsStore& store, QObject* parent = nullptr);

    void start(SettingsStore& store) override;
    void stop() override;
    // The device named in the settings, or empty.
    const QString& device() const { return device_; }
    MidiLink& link() { return link_; }

private:
    void showDevices();

    MidiLink link_;
    QString device_;
};

}  // namespace tavrelia
