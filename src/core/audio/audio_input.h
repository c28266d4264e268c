#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <optional>
#include <thread>

#include "audio/beat_finder.h"
#include "playback/beat_source.h"

namespace tavrelia {

// A sound input through ALSA, listened to for its beat: a thread of its own reads the
// device and feeds the beat tracker, and posts the beat found and the input's level
// here. Nothing is opened while it is off (AudioConnection starts it while
// [Audio] Enabled is on).
//
// The tracker's times count the samples read. The thread ties them to steady_clock
// from the device's delay after each read (what it has captured and not yet handed
// over), so a beat predicted on the stream falls on the clock when it is heard, not
// when it is read.
//
// Thread: the user-interface thread; the capture thread only posts.
class AudioInput : public QObject {
    Q_OBJECT
public:
    using Clock = BeatSource::Clock;
    enum class State { Off, Starting, On, Fault };

    explicit AudioInput(QObject* parent = nullptr);
    ~AudioInput() override;

    void start(const QString& device);
    void stop();
    State state() const { return state_; }
    QString reason() const { return reason_; }
    QString device() const { return device_; }
    // The device's rate and channels while on.
    int rate() const { return rate_; }
    int channels() const { return channels_; }
    quint64 overruns() const { return overruns_; }

    // The beat found: tempo (0 while none), confidence 0..1, the next beat on the clock.
    double bpm() const { return grid_.bpm(); }
    double confidence() const { return grid_.valid() ? grid_.confidence : 0; }
    bool found() const { return grid_.valid(); }
    std::optional<BeatSource::Beat> nextBeat(Clock::time_point after) const;
    // The input's level over the last 50 ms, dB of full scale (-100 for silence).
    double level() const { return level_; }

    // The capture thread's work: open, read a period at a time, feed the tracker, post.
    // Defined in the sound module, which runs it on the thread start() makes.
    void capture(QByteArray device, unsigned session);

signals:
    // The state, the device's format or the overruns changed.
    void changed();
    // The beat was refitted, replaced or lost.
    void beatChanged();
    void levelChanged(double db);

private:
    struct News {
        BeatFinder::Grid grid;
        Clock::time_point epoch;
        double level;
        quint64 overruns;
        bool refitted;
    };
    void post(unsigned session, News news);
    void opened(unsigned session, int rate, int channels);
    void fail(unsigned session, const QString& reason);
    void setState(State state, const QString& reason = {});

    std::thread thread_;
    std::atomic<bool> stopping_{false};
    unsigned session_ = 0;   // news of an earlier start are dropped
    State state_ = State::Off;
    QString reason_;
    QString device_;
    int rate_ = 0;
    int channels_ = 0;
    quint64 overruns_ = 0;
    BeatFinder::Grid grid_;
    Clock::time_point epoch_{};   // when the stream's first sample was heard
    double level_ = -100;
};

}  // namespace tavrelia
