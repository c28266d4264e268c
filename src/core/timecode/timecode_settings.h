#pragma once

#include <QString>
#include <QStringList>

#include "settings/settings_store.h"

namespace tavrelia {

// [Timecode] of Tavrelia.conf: which source runs (none, mtc, ltc), LTC's capture
// device, and how the chase takes jumps and dropouts.
struct TimecodeSettings {
    static inline const QString kGroup = QStringLiteral("Timecode");
    static inline const QStringList kSources{QStringLiteral("none"), QStringLiteral("mtc"), QStringLiteral("ltc")};

    QString source = QStringLiteral("none");
    QString device = QStringLiteral("default");
    int jumpFrames = 10;
    int freewheelFrames = 25;

    static TimecodeSettings read(SettingsStore::Group& group);
};

}  // namespace tavrelia
