#pragma once

#include "connections/connection.h"

namespace tavrelia {

class Connections;
class Timecode;

// MIDI timecode as the desk's timecode source ([Timecode] Source=mtc): read on the
// MIDI connection's devices (the raw devices and the sequencer's port), so that
// connection must run too.
class MtcConnection : public Connection {
    Q_OBJECT
public:
    static inline const QString kId = QStringLiteral("mtc");

    MtcConnection(Timecode& timecode, const Connections& connections, QObject* parent = nullptr);

    void start(SettingsStore& store) override;
    void stop() override;

private:
    void show();

    Timecode& timecode_;
    const Connections& connections_;
};

}  // namespace tavrelia
