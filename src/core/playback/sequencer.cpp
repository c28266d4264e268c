#include "playback/sequencer.h"

#include <algorithm>
#include <utility>

#include "playback/conveyor.h"

namespace tavrelia {

Sequencer::Sequencer(Parts parts, QObject* parent)
    : QObject(parent),
      image_(parts.image),
      play_(parts.play),
      controls_(parts.controls),
      conveyor_(parts.conveyor),
      lock_(parts.lock)
{
    timer_.setObjectName(QStringLiteral("TimerSeqveser"));
    // The period is the show's beat: a coarse timer may fire 5 % early or late.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &Sequencer::TimerSeqveserTimer);
    period_ = periodOf(ShowImage::kNewTempo);
    timer_.setInterval(period_);
}

uint8_t Sequencer::clampTempo(int tempo)
{
    return static_cast<uint8_t>(std::clamp(tempo, kMinTempo, kMaxTempo));
}

int Sequencer::periodOf(int tempo)
{
    const int t = clampTempo(tempo);
    return t * t;
}

int Sequencer::ticksPerPeriod(int periodMs)
{
    return std::clamp(periodMs / kOutputTickMs, 1, 255);
}

QString Sequencer::tempoLabel(int periodMs)
{
    return QString::number(60000 / periodMs) + QStringLiteral("  Сцен/мин ");
}

int Sequencer::periodInForce() const
{
    return taken_ > 0 ? taken_ : periodOf(image_.sceneTempo());
}

void Sequencer::TempStatus()
{
    const int period = periodInForce();
    // Every refresh comes here, but only a new tempo may restart the running
    // period: QTimer restarts on any setInterval, even with the same value.
    if (period != period_) {
        period_ = period;
        timer_.setInterval(period_);
    }
    emit tempoChanged(tempoText());
}

void Sequencer::takePeriod(int periodMs, bool restart)
{
    taken_ = std::clamp(periodMs, periodOf(kMinTempo), periodOf(kMaxTempo));
    if (restart && timer_.isActive()) {
        period_ = taken_;
        timer_.start(period_);
    }
    TempStatus();
}

void Sequencer::releasePeriod()
{
    taken_ = 0;
    TempStatus();
}

void Sequencer::setDriven(bool driven)
{
    if (std::exchange(driven_, driven) == driven)
        return;
    if (driven)
        timer_.stop();
    else
        timer_.start();
}

void Sequencer::start()
{
    if (!driven_)
        timer_.start();
}

void Sequencer::TimerSeqveserTimer()
{
    emit beat(beatLamp());
    if (!playing())
        return;
    if (image_.currentScene() >= image_.lastScene() && conveyor_.listMode()) {
        // The wrap hands over to the conveyor, which may swap in the next show: the
        // steps are those of the new show's scene 0, set under the same lock.
        conveyor_.KonveyrJob([this](const ConsoleLock::Guard& held) { computeFadeSteps(held); });
    } else {
        // The tick must never see the new scene with the previous scene's steps.
        auto guard = lock_.hold();
        advanceScene(guard);
        computeFadeSteps(guard);
    }
    sceneChangedAt_ = std::chrono::steady_clock::now();
    emit advanced();
}

void Sequencer::advanceScene(const ConsoleLock::Guard&)
{
    const uint8_t current = image_.currentScene();
    image_[ShowImage::kCurrentScene] =
        current < image_.lastScene() ? static_cast<uint8_t>(current + 1) : uint8_t{0};
}

void Sequencer::computeFadeSteps(const ConsoleLock::Guard&)
{
    const uint8_t current = image_.currentScene();
    const uint8_t previous = current == 0 ? image_.lastScene() : static_cast<uint8_t>(current - 1);
    // The show's own tempo (or the beat's), not the running timer's: after a conveyor
    // swap the timer still has the previous show's period until the window takes up
    // the new one.
    const int ticks = ticksPerPeriod(periodInForce());
    for (int c = 1; c < PlayState::kChannels; ++c) {
        const int now = image_.DataRead(current, static_cast<uint8_t>(c));
        const int before = image_.DataRead(previous, static_cast<uint8_t>(c));
        const int difference = now == before ? 1 : std::abs(now - before);
        play_.FadeSteps[c] = static_cast<uint8_t>(std::max(difference / ticks, 1));
    }
}

bool Sequencer::playing() const
{
    return play_.PlayFlag;
}

void Sequencer::ModePlay()
{
    {
        auto guard = lock_.hold();
        play_.PlayFlag = true;
    }
    resetClock();
    emit modeChanged(true);
}

void Sequencer::ModeStop()
{
    {
        auto guard = lock_.hold();
        play_.PlayFlag = false;
    }
    resetClock();
    emit modeChanged(false);
}

void Sequencer::halt()
{
    auto guard = lock_.hold();
    play_.PlayFlag = false;
}

void Sequencer::goTo(uint8_t scene)
{
    {
        auto guard = lock_.hold();
        image_[ShowImage::kCurrentScene] = std::min(scene, image_.lastScene());
        if (playing())
            computeFadeSteps(guard);
    }
    sceneChangedAt_ = std::chrono::steady_clock::now();
    emit advanced();
}

void Sequencer::setTempo(int tempo)
{
    {
        auto guard = lock_.hold();
        image_[ShowImage::kSceneTempo] = clampTempo(tempo);
    }
    TempStatus();
}

void Sequencer::playFromFirstScene()
{
    ModePlay();
    auto guard = lock_.hold();
    image_[ShowImage::kCurrentScene] = 0;
}

void Sequencer::clockTick()
{
    if (++seconds_ < 60)
        return;
    seconds_ = 0;
    if (++minutes_ < 60)
        return;
    minutes_ = 0;
    if (++hours_ >= 24)
        hours_ = 0;
}

void Sequencer::resetClock()
{
    hours_ = 0;
    minutes_ = 0;
    seconds_ = 0;
}

QString Sequencer::clockText() const
{
    return QStringLiteral("%1ч %2м %3с ").arg(hours_).arg(minutes_).arg(seconds_);
}

BeatLamp Sequencer::beatLamp() const
{
    if (controls_.macroOut)
        return BeatLamp::Macro;
    return controls_.blackOut ? BeatLamp::BlackOut : BeatLamp::Go;
}

}  // namespace tavrelia
