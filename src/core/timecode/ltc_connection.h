#pragma once

#include <memory>

#include "connections/connection.h"

namespace tavrelia {

class LtcReader;
class Timecode;

// LTC as the desk's timecode source ([Timecode] Source=ltc): the audio input of
// [Timecode] Device= (default: ALSA's default) recorded and decoded, each frame's
// position handed to the timecode on the user-interface thread.
class LtcConnection : public Connection {
    Q_OBJECT
public:
    static inline const QString kId = QStringLiteral("ltc");

    explicit LtcConnection(Timecode& timecode, QObject* parent = nullptr);
    ~LtcConnection() override;

    void start(SettingsStore& store) override;
    void stop() override;

private:
    Timecode& timecode_;
    std::unique_ptr<LtcReader> reader_;
    quint64 frames_ = 0;
};

}  // namespace tavrelia
