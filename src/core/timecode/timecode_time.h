#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace tavrelia {

// The four frame rates of timecode, in the order MIDI timecode numbers them.
enum class TimecodeRate : uint8_t { Fps24, Fps25, Fps2997Drop, Fps30 };

// A timecode address HH:MM:SS:FF. Its order is the same at every rate, so a list of
// them sorts without knowing the rate; counting frames needs the rate (at 29.97 drop
// frame, frames 0 and 1 of every minute but each tenth are skipped).
struct TimecodeTime {
    int hours = 0;     // 0..23
    int minutes = 0;   // 0..59
    int seconds = 0;   // 0..59
    int frames = 0;    // 0..29

    auto operator<=>(const TimecodeTime&) const = default;

    // Frames since midnight at the rate (a skipped drop-frame label counts as the
    // frame after it).
    int64_t frameCount(TimecodeRate rate) const;
    static TimecodeTime fromFrames(int64_t frames, TimecodeRate rate);
    // "HH:MM:SS:FF".
    QString text() const;
    // "HH:MM:SS:FF" with every field in range (frames up to 29), or nothing.
    static std::optional<TimecodeTime> parse(QStringView text);
    // Whether the fields are in range for the rate (frames below its frames a second).
    bool validAt(TimecodeRate rate) const;

    static int framesPerSecond(TimecodeRate rate);   // 24, 25, 30, 30
    static double realFramesPerSecond(TimecodeRate rate);   // 29.97 for drop frame
    static int64_t framesPerDay(TimecodeRate rate);
    // "24", "25", "29.97df", "30".
    static QString rateText(TimecodeRate rate);
    // A time in frames brought into one day: past 23:59:59:29 is midnight again.
    static int64_t wrapped(int64_t frames, TimecodeRate rate);
};

}  // namespace tavrelia
