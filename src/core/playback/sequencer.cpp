#include "playback/sequencer.h"

#include <algorithm>

#include "console.h"

namespace tavrelia {

Sequencer::Sequencer(Console& console, QObject* parent) : QObject(parent), console_(console)
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

void Sequencer::TempStatus()
{
    const int period = periodOf(console_.image.sceneTempo());
    // Every refresh comes here, but only a new tempo may restart the running
    // period: QTimer restarts on any setInterval, even with the same value.
    if (period != period_) {
        period_ = period;
        timer_.setInterval(period_);
    }
    emit tempoChanged(tempoText());
}

void Sequencer::start()
{
    timer_.start();
}

void Sequencer::TimerSeqveserTimer()
{
    emit beat(beatLamp());
    if (!playing())
        return;
    const ShowImage& image = console_.image;
    if (image.currentScene() >= image.lastScene() && console_.conveyor.listMode()) {
        // The wrap hands over to the conveyor, which may swap in the next show: the
        // steps are those of the new show's scene 0, set under the same lock.
        console_.conveyor.KonveyrJob([this] { computeFadeSteps(); });
    } else {
        // The tick must never see the new scene with the previous scene's steps.
        auto guard = console_.lock();
        advanceScene();
        computeFadeSteps();
    }
    emit advanced();
}

void Sequencer::advanceScene()
{
    ShowImage& image = console_.image;
    const uint8_t current = image.currentScene();
    image[ShowImage::kCurrentScene] =
        current < image.lastScene() ? static_cast<uint8_t>(current + 1) : uint8_t{0};
}

void Sequencer::computeFadeSteps()
{
    const ShowImage& image = console_.image;
    const uint8_t current = image.currentScene();
    const uint8_t previous = current == 0 ? image.lastScene() : static_cast<uint8_t>(current - 1);
    // The show's own tempo, not the running timer's: after a conveyor swap the timer
    // still has the previous show's period until the window takes up the new one.
    const int ticks = ticksPerPeriod(periodOf(image.sceneTempo()));
    for (int c = 1; c < Console::kChannels; ++c) {
        const int now = image.DataRead(current, static_cast<uint8_t>(c));
        const int before = image.DataRead(previous, static_cast<uint8_t>(c));
        const int difference = now == before ? 1 : std::abs(now - before);
        console_.FadeSteps[c] = static_cast<uint8_t>(std::max(difference / ticks, 1));
    }
}

bool Sequencer::playing() const
{
    return console_.PlayFlag;
}

void Sequencer::ModePlay()
{
    {
        auto guard = console_.lock();
        console_.PlayFlag = true;
    }
    resetClock();
    emit modeChanged(true);
}

void Sequencer::ModeStop()
{
    {
        auto guard = console_.lock();
        console_.PlayFlag = false;
    }
    resetClock();
    emit modeChanged(false);
}

void Sequencer::goTo(uint8_t scene)
{
    {
        auto guard = console_.lock();
        ShowImage& image = console_.image;
        image[ShowImage::kCurrentScene] = std::min(scene, image.lastScene());
        if (playing())
            computeFadeSteps();
    }
    emit advanced();
}

void Sequencer::setTempo(int tempo)
{
    {
        auto guard = console_.lock();
        console_.image[ShowImage::kSceneTempo] = clampTempo(tempo);
    }
    TempStatus();
}

void Sequencer::playFromFirstScene()
{
    ModePlay();
    auto guard = console_.lock();
    console_.image[ShowImage::kCurrentScene] = 0;
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
    const ControlState& controls = console_.controls;
    if (controls.macroOut)
        return BeatLamp::Macro;
    return controls.blackOut ? BeatLamp::BlackOut : BeatLamp::Go;
}

}  // namespace tavrelia
