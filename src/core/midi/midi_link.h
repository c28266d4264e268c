#pragma once

#include <QObject>
#include <QString>

#include <memory>

#include "midi/sequencer_port.h"
#include "midi/midi_map.h"
#include "midi/midi_surface.h"
#include "midi/raw_midi_ports.h"

namespace tavrelia {

// MIDI on this machine: the surfaces on raw MIDI devices and the programs that send
// to the ALSA sequencer's port, the map from the group [MIDI map] of Tavrelia.conf
// (the device from [MIDI] Device=), and every learned binding written back there.
//
// Thread: the user-interface thread.
class MidiLink : public QObject {
    Q_OBJECT
public:
    MidiLink(NamedControls& named, Controls& controls, SettingsStore& store, QObject* parent = nullptr);
    // Says nothing of its parts closing: those who listen may be going too.
    ~MidiLink() override;

    // Opens what is there: the raw device named (every one found when empty) and the
    // sequencer's port; the map is read first.
    void start(const QString& device);
    // Reads the map alone; its bad lines are in faults() ("line N: reason").
    void loadMap();
    void stop();
    const QStringList& faults() const { return faults_; }
    // The raw devices open, and the sequencer's port when it is.
    QStringList devices() const;
    MidiSurface& surface() { return surface_; }
    const SequencerPort& sequencer() const { return *sequencer_; }

signals:
    void devicesChanged();
    // A learned binding was stored; false when the file could not be written.
    void stored(const QString& name, const QString& binding, bool written);

private:
    void store(const QString& name, const MidiBinding& binding, const QStringList& gone);

    SettingsStore& store_;
    // Before the raw ports, so that it outlives them.
    std::unique_ptr<SequencerPort> sequencer_ = SequencerPort::make();
    RawMidiPorts ports_;
    MidiSurface surface_;
    QStringList faults_;
};

}  // namespace tavrelia
