#include "link/link_session.h"

#include <ableton/Link.hpp>

#include <algorithm>
#include <cmath>

namespace tavrelia {

namespace {
// The tempi a Link session takes.
constexpr double kMinBpm = 20;
constexpr double kMaxBpm = 999;
}  // namespace

LinkSession::LinkSession(QObject* parent) : QObject(parent) {}

LinkSession::~LinkSession()
{
    stop();
}

void LinkSession::setState(State state, const QString& reason)
{
    state_ = state;
    reason_ = reason;
    emit changed();
}

void LinkSession::start()
{
    if (link_)
        return;
    setState(State::Starting);
    try {
        link_ = std::make_unique<ableton::Link>(120.0);
        // Link calls these on its own threads: the news is posted to this one.
        link_->setNumPeersCallback([this](std::size_t peers) {
            QMetaObject::invokeMethod(this, [this, peers] {
                peers_ = static_cast<int>(peers);
                emit changed();
            }, Qt::QueuedConnection);
        });
        link_->setTempoCallback(
            [this](double) { QMetaObject::invokeMethod(this, &LinkSession::tempoChanged, Qt::QueuedConnection); });
        link_->setStartStopCallback([this](bool playing) {
            QMetaObject::invokeMethod(this, [this, playing] { emit playingChanged(playing); }, Qt::QueuedConnection);
        });
        link_->enableStartStopSync(true);
        link_->enable(true);
    } catch (const std::exception& e) {
        link_.reset();
        setState(State::Fault, QString::fromLocal8Bit(e.what()));
        return;
    }
    setState(State::On);
}

void LinkSession::stop()
{
    if (!link_ && state_ == State::Off)
        return;
    // Leaving joins Link's threads: no callback comes after this.
    link_.reset();
    peers_ = 0;
    setState(State::Off);
}

double LinkSession::tempo() const
{
    return link_ ? link_->captureAppSessionState().tempo() : 0;
}

std::optional<BeatSource::Beat> LinkSession::nextBeat(Clock::time_point after, int quantum) const
{
    if (!link_)
        return std::nullopt;
    const auto state = link_->captureAppSessionState();
    const double beat = std::floor(state.beatAtTime(toLink(after), quantum)) + 1;
    return BeatSource::Beat{toSteady(state.timeAtBeat(beat, quantum)), static_cast<int64_t>(beat)};
}

bool LinkSession::playing() const
{
    return link_ && link_->captureAppSessionState().isPlaying();
}

void LinkSession::propose(double bpm)
{
    if (!link_)
        return;
    auto state = link_->captureAppSessionState();
    state.setTempo(std::clamp(bpm, kMinBpm, kMaxBpm), link_->clock().micros());
    link_->commitAppSessionState(state);
}

std::chrono::microseconds LinkSession::toLink(Clock::time_point at) const
{
    return std::chrono::duration_cast<std::chrono::microseconds>(at.time_since_epoch() + linkAhead());
}

LinkSession::Clock::time_point LinkSession::toSteady(std::chrono::microseconds at) const
{
    return Clock::time_point(std::chrono::duration_cast<Clock::duration>(at - linkAhead()));
}

// Link's clock less steady_clock now: both read close together, steady_clock before
// and after, its midpoint taken.
std::chrono::nanoseconds LinkSession::linkAhead()
{
    const ableton::link::platform::Clock clock;
    const Clock::time_point before = Clock::now();
    const std::chrono::microseconds link = clock.micros();
    const Clock::time_point mid = before + (Clock::now() - before) / 2;
    return link - mid.time_since_epoch();
}

}  // namespace tavrelia
