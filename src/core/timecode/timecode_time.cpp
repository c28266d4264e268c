#include "timecode/timecode_time.h"

#include <QList>

namespace tavrelia {

namespace {

// Drop frame: ten-minute blocks of 17,982 frames; each minute after the first of a
// block has 1,798.
constexpr int64_t kDropBlock = 17982;
constexpr int64_t kDropMinute = 1798;

}  // namespace

int TimecodeTime::framesPerSecond(TimecodeRate rate)
{
    switch (rate) {
    case TimecodeRate::Fps24: return 24;
    case TimecodeRate::Fps25: return 25;
    default: return 30;
    }
}

double TimecodeTime::realFramesPerSecond(TimecodeRate rate)
{
    return rate == TimecodeRate::Fps2997Drop ? 30000.0 / 1001.0 : framesPerSecond(rate);
}

int64_t TimecodeTime::framesPerDay(TimecodeRate rate)
{
    return rate == TimecodeRate::Fps2997Drop ? 24 * 6 * kDropBlock : int64_t(86400) * framesPerSecond(rate);
}

int64_t TimecodeTime::wrapped(int64_t frames, TimecodeRate rate)
{
    const int64_t day = framesPerDay(rate);
    return ((frames % day) + day) % day;
}

QString TimecodeTime::rateText(TimecodeRate rate)
{
    switch (rate) {
    case TimecodeRate::Fps24: return QStringLiteral("24");
    case TimecodeRate::Fps25: return QStringLiteral("25");
    case TimecodeRate::Fps2997Drop: return QStringLiteral("29.97df");
    case TimecodeRate::Fps30: return QStringLiteral("30");
    }
    return {};
}

int64_t TimecodeTime::frameCount(TimecodeRate rate) const
{
    const int fps = framesPerSecond(rate);
    const int64_t totalMinutes = int64_t(hours) * 60 + minutes;
    int64_t count = (totalMinutes * 60 + seconds) * fps + frames;
    if (rate == TimecodeRate::Fps2997Drop) {
        count -= 2 * (totalMinutes - totalMinutes / 10);
        // Labels 00 and 01 of a dropping minute do not exist: they count as 02.
        if (seconds == 0 && frames < 2 && minutes % 10 != 0)
            count += 2 - frames;
    }
    return count;
}

TimecodeTime TimecodeTime::fromFrames(int64_t frames, TimecodeRate rate)
{
    frames = wrapped(frames, rate);
    const int fps = framesPerSecond(rate);
    if (rate == TimecodeRate::Fps2997Drop) {
        const int64_t blocks = frames / kDropBlock;
        const int64_t rest = frames % kDropBlock;
        // The first minute of a block keeps its two labels; the others lose them.
        frames += 18 * blocks + (rest < 2 ? 0 : 2 * ((rest - 2) / kDropMinute));
    }
    TimecodeTime t;
    t.frames = int(frames % fps);
    const int64_t secondsTotal = frames / fps;
    t.seconds = int(secondsTotal % 60);
    t.minutes = int(secondsTotal / 60 % 60);
    t.hours = int(secondsTotal / 3600 % 24);
    return t;
}

QString TimecodeTime::text() const
{
    return QStringLiteral("%1:%2:%3:%4")
        .arg(hours, 2, 10, QLatin1Char('0'))
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds, 2, 10, QLatin1Char('0'))
        .arg(frames, 2, 10, QLatin1Char('0'));
}

std::optional<TimecodeTime> TimecodeTime::parse(QStringView text)
{
    const QList<QStringView> parts = text.split(QLatin1Char(':'));
    if (parts.size() != 4)
        return std::nullopt;
    int fields[4];
    constexpr int kMax[4] = {23, 59, 59, 29};
    for (int i = 0; i < 4; ++i) {
        if (parts[i].size() != 2 || !parts[i][0].isDigit() || !parts[i][1].isDigit())
            return std::nullopt;
        fields[i] = parts[i].toInt();
        if (fields[i] > kMax[i])
            return std::nullopt;
    }
    return TimecodeTime{fields[0], fields[1], fields[2], fields[3]};
}

bool TimecodeTime::validAt(TimecodeRate rate) const
{
    return hours >= 0 && hours < 24 && minutes >= 0 && minutes < 60 && seconds >= 0 && seconds < 60 && frames >= 0 &&
           frames < framesPerSecond(rate);
}

}  // namespace tavrelia
