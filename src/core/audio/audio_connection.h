#pragma once

#include "audio/audio_input.h"
#include "connections/connection.h"

namespace tavrelia {

// The sound input as a connection: captured while [Audio] Enabled is on (or the
// player's --beat audio asks for it), from the ALSA device of [Audio] Device=
// ("default" when unset), with the overruns as its count.
class AudioConnection : public Connection {
    Q_OBJECT
public:
    static inline const QString kId = QStringLiteral("audio");
    static inline const QString kGroup = QStringLiteral("Audio");
    static inline const QString kDefaultDevice = QStringLiteral("default");

    explicit AudioConnection(AudioInput& input, QObject* parent = nullptr);

    void start(SettingsStore& store) override;
    void stop() override;

private:
    void show();

    AudioInput& input_;
};

}  // namespace tavrelia
