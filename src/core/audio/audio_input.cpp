#include "audio/audio_input.h"

#include <dlfcn.h>

#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "program_module.h"

namespace tavrelia {

AudioInput::AudioInput(QObject* parent) : QObject(parent) {}

AudioInput::~AudioInput()
{
    stop();
}

void AudioInput::setState(State state, const QString& reason)
{
    state_ = state;
    reason_ = reason;
    emit changed();
}

namespace {

using Capture = void (*)(AudioInput&, QByteArray, unsigned);

// The capture and the tracker live in the sound module (ALSA and aubio), loaded the
// first time a sound input starts and kept for the rest of the run. A failed load is
// tried again at the next start: the operator may have installed what was missing.
Capture loadCapture(QString& why)
{
    static std::mutex loading;
    static Capture capture = nullptr;
    const std::lock_guard hold(loading);
    std::string errors;
    if (!capture) {
        if (void* module = loadProgramModule("libtavrelia_aubio.so", errors)) {
            capture = reinterpret_cast<Capture>(::dlsym(module, "tavreliaCaptureSound"));
            if (!capture)
                errors = ::dlerror();
        }
    }
    if (!capture)
        why = QStringLiteral("the sound module cannot be loaded: %1").arg(QString::fromLocal8Bit(errors.c_str()).trimmed());
    return capture;
}

}  // namespace

void AudioInput::start(const QString& device)
{
    stop();
    device_ = device;
    overruns_ = 0;
    stopping_ = false;
    QString why;
    const Capture capture = loadCapture(why);
    if (!capture) {
        setState(State::Fault, why);
        return;
    }
    setState(State::Starting);
    thread_ = std::thread(capture, std::ref(*this), device.toLocal8Bit(), ++session_);
}

void AudioInput::stop()
{
    if (thread_.joinable()) {
        stopping_ = true;
        thread_.join();
    }
    ++session_;
    const bool had = grid_.valid();
    grid_ = {};
    level_ = -100;
    rate_ = channels_ = 0;
    if (had)
        emit beatChanged();
    if (state_ != State::Off)
        setState(State::Off);
}

std::optional<BeatSource::Beat> AudioInput::nextBeat(Clock::time_point after) const
{
    if (!grid_.valid())
        return std::nullopt;
    const auto [count, at] = grid_.next(std::chrono::duration<double>(after - epoch_).count());
    return BeatSource::Beat{epoch_ + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(at)),
                            count};
}

void AudioInput::opened(unsigned session, int rate, int channels)
{
    QMetaObject::invokeMethod(this, [this, session, rate, channels] {
        if (session != session_)
            return;
        rate_ = rate;
        channels_ = channels;
        setState(State::On);
    }, Qt::QueuedConnection);
}

void AudioInput::fail(unsigned session, const QString& reason)
{
    QMetaObject::invokeMethod(this, [this, session, reason] {
        if (session != session_)
            return;
        const bool had = grid_.valid();
        grid_ = {};
        if (had)
            emit beatChanged();
        setState(State::Fault, reason);
    }, Qt::QueuedConnection);
}

void AudioInput::post(unsigned session, News news)
{
    QMetaObject::invokeMethod(this, [this, session, news] {
        if (session != session_)
            return;
        if (std::exchange(overruns_, news.overruns) != news.overruns)
            emit changed();
        const bool had = grid_.valid();
        grid_ = news.grid;
        epoch_ = news.epoch;
        if (news.refitted || had != grid_.valid())
            emit beatChanged();
        level_ = news.level;
        emit levelChanged(level_);
    }, Qt::QueuedConnection);
}

}  // namespace tavrelia
