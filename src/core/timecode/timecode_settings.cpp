#include "timecode/timecode_settings.h"

namespace tavrelia {

TimecodeSettings TimecodeSettings::read(SettingsStore::Group& group)
{
    TimecodeSettings settings;
    settings.source = group.word(QStringLiteral("Source"), kSources, settings.source);
    settings.device = group.text(QStringLiteral("Device"), settings.device);
    settings.jumpFrames = int(group.number(QStringLiteral("JumpFrames"), 1, 3000, settings.jumpFrames));
    settings.freewheelFrames = int(group.number(QStringLiteral("FreewheelFrames"), 0, 3000, settings.freewheelFrames));
    return settings;
}

}  // namespace tavrelia
