#include "control/controls.h"

#include <QTimer>

#include <algorithm>
#include <cmath>
#include <utility>

#include "audio/audio_input.h"
#include "editing/channel_desk.h"
#include "link/link_session.h"
#include "output/control_state.h"
#include "output/usb_link.h"
#include "playback/automats.h"
#include "playback/sequencer.h"
#include "show/show_image.h"
#include "view3d/hand_scan.h"

namespace tavrelia {

Controls::Controls(Parts parts, QObject* parent)
    : QObject(parent),
      sequencer_(parts.sequencer),
      output_(parts.output),
      desk_(parts.desk),
      automats_(parts.automats),
      conveyor_(parts.conveyor),
      handScan_(parts.handScan),
      link_(parts.link),
      image_(parts.image),
      state_(parts.state),
      beat_(parts.beat.beat),
      clockBeat_(parts.beat.clock),
      tapBeat_(parts.beat.taps),
      linkSession_(parts.beat.link),
      timecode_(parts.timecode),
      audioInput_(parts.beat.audio),
      outputChanged_(std::move(parts.outputChanged))
{
    connect(&sequencer_, &Sequencer::modeChanged, this, &Controls::sendPlaying);
    connect(&sequencer_, &Sequencer::advanced, this, &Controls::sendScene);
    // A scene change on an outside beat goes out with the beat, not at the next tick.
    connect(&sequencer_, &Sequencer::advanced, this, [this] {
        if (sequencer_.driven())
            changed();
    });
    connect(&sequencer_, &Sequencer::tempoChanged, this, &Controls::sendTempo);
    connect(&sequencer_, &Sequencer::tempoChanged, this, &Controls::sendPeriod);
    connect(&conveyor_, &Conveyor::changed, this, &Controls::conveyorChanged);
    connect(&handScan_, &HandScan::moved, this,
            [this](int x, int y) { emit handScanChanged(handPriority(), x, y); });
    connect(&beat_, &Beat::followChanged, this, &Controls::clockFollowChanged);
    connect(&beat_, &Beat::beatsPerSceneChanged, this, &Controls::beatsPerSceneChanged);
    connect(&beat_, &Beat::sourceChanged, this, &Controls::beatSourceChanged);
    connect(&beat_, &Beat::tempoChanged, this, &Controls::beatTempoChanged);
    connect(&beat_, &Beat::beat, this, &Controls::beat);
    connect(&linkSession_, &LinkSession::changed, this, &Controls::linkSessionChanged);
    connect(&timecode_, &Timecode::changed, this, [this] { emit timecodeChanged(timecodeText()); });
    connect(&timecode_, &Timecode::chaseChanged, this, &Controls::timecodeChaseChanged);
    connect(&timecode_, &Timecode::recordChanged, this, &Controls::timecodeRecordChanged);
    connect(&audioInput_, &AudioInput::changed, this, &Controls::audioInputChanged);
    connect(&audioInput_, &AudioInput::beatChanged, this, [this] {
        const int confidence = audioConfidence();
        if (std::exchange(audioConfidence_, confidence) != confidence)
            emit audioInputChanged();
    });
    shown_.link = link();
    // The link is looked at where it is polled: once a second.
    connect(link_.timerPolling(), &QTimer::timeout, this, &Controls::sendLink);
}

void Controls::play()
{
    sequencer_.ModePlay();
}

void Controls::stop()
{
    sequencer_.ModeStop();
}

void Controls::halt()
{
    sequencer_.halt();
    sendPlaying();
}

void Controls::changed()
{
    if (outputChanged_)
        outputChanged_();
}

void Controls::go(int scene)
{
    if (!playing())
        play();
    step(scene);
}

void Controls::next()
{
    step(scene() % scenes() + 1);
}

void Controls::prev()
{
    step(scene() == 1 ? scenes() : scene() - 1);
}

// Recorded as the scene reached, so that a jump in the timecode finds it.
void Controls::step(int scene)
{
    sequencer_.goTo(static_cast<uint8_t>(std::clamp(scene, 1, scenes()) - 1));
    if (!sequencer_.driven())
        changed();
    timecode_.operated(QStringLiteral("go"), QString::number(this->scene()));
}

void Controls::timecodeMessage(const MidiMessage& message)
{
    timecode_.mtcMessage(message, Timecode::Clock::now());
}

void Controls::setTimecodeChase(bool on)
{
    if (on == timecodeChase())
        return;
    if (on)
        setClockFollow(false);
    sequencer_.setDriven(on);
    timecode_.setChase(on);
}

void Controls::setTimecodeRecord(bool on)
{
    timecode_.setRecord(on);
}

void Controls::setTempo(int tempo)
{
    const bool moved = Sequencer::clampTempo(tempo) != this->tempo();
    sequencer_.setTempo(tempo);
    if (!moved)
        return;
    if (clockFollow())
        beat_.proposeScenePeriod(Sequencer::periodOf(tempo));
    else if (sequencer_.takenPeriod() > 0)
        sequencer_.releasePeriod();
}

void Controls::tap()
{
    const TapTempo::Clock::time_point at = now_();
    const std::optional<int> period = taps_.tap(at);
    if (clockFollow() && beatSource() == QLatin1String("tap"))
        tapBeat_.tap(at, period);
    else if (period && clockFollow())
        beat_.proposeBeatMs(*period);
    else if (period)
        sequencer_.takePeriod(*period, true);
}

void Controls::setBlackOut(bool on)
{
    if (on == blackOut())
        return;
    output_.setBlackOut(on);
    // Every entry into or out of blackout stops the show.
    halt();
    changed();
    emit blackOutChanged(on);
}

void Controls::setMode(int mode)
{
    if (mode == this->mode())
        return;
    output_.setTransitionMode(mode);
    changed();
    emit modeChanged(mode);
}

void Controls::setMacro(bool down)
{
    if (down == macro())
        return;
    if (down)
        setBlackOut(true);
    output_.setMacroOut(down);
    changed();
    emit macroChanged(down);
}

void Controls::setPicture(int picture, bool on)
{
    if (picture < 1 || picture > kPictures)
        return;
    if (!on)
        latched_[picture - 1] = false;
    if (on == this->picture(picture))
        return;
    output_.setPicture(picture - 1, on);
    changed();
    emit pictureChanged(picture, on);
    timecode_.operated(QStringLiteral("picture/%1").arg(picture), QString::number(int(on)));
}

void Controls::releasePicture(int picture)
{
    if (!pictureLatched(picture))
        setPicture(picture, false);
}

void Controls::latchPicture(int picture, bool on)
{
    if (picture < 1 || picture > kPictures)
        return;
    const bool wasOn = this->picture(picture);
    const bool wasLatched = pictureLatched(picture);
    setPicture(picture, on);
    latched_[picture - 1] = on;
    // The latch alone changed: the picture's signal says so too.
    if (wasOn == on && wasLatched != on)
        emit pictureChanged(picture, on);
}

void Controls::pressConveyor(int button)
{
    if (button < 1 || button > kConveyorButtons)
        return;
    timecode_.operated(QStringLiteral("conveyor/%1").arg(button), {});
    conveyor_.SpeedButtonClick(button);
}

void Controls::setConveyorMode(Conveyor::Mode mode)
{
    conveyor_.setMode(mode);
}

void Controls::setManual(bool on)
{
    if (on == manual())
        return;
    desk_.setManual(on);
    changed();
    emit manualChanged(on);
}

void Controls::setPage(int offset)
{
    desk_.setPageOffset(offset);
    changed();
    sendDesk();
}

void Controls::reloadSelection()
{
    desk_.CheckBoxFromMemory();
    changed();
    sendDesk();
}

void Controls::reloadDesk()
{
    desk_.setPageOffset(page());
    changed();
    sendDesk();
}

void Controls::setFader(int strip, int level)
{
    if (!validStrip(strip))
        return;
    desk_.faderMoved(strip, static_cast<uint8_t>(std::clamp(level, 0, 255)));
    changed();
    sendDesk();
}

void Controls::setFaderManual(int strip, bool on)
{
    if (!validStrip(strip))
        return;
    desk_.boxChanged(strip, on);
    changed();
    sendDesk();
}

void Controls::setChannel(int channel, int level)
{
    if (channel < 1 || channel > kChannels)
        return;
    if (validStrip(channel - page()))
        return setFader(channel - page(), level);
    desk_.sceneLevelSet(channel, static_cast<uint8_t>(std::clamp(level, 0, 255)));
    changed();
    emit channelChanged(channel, this->channel(channel));
}

void Controls::setAutomatRun(int automat, bool on)
{
    if (automat < 1 || automat > kAutomats || on == automatRun(automat))
        return;
    automats_[automat].setRunAlone(on);
    automats_[automat].start();
    emit automatChanged(automat);
}

void Controls::setAutomatWithShow(int automat, bool on)
{
    if (automat < 1 || automat > kAutomats || on == automatWithShow(automat))
        return;
    automats_[automat].setWithShow(on);
    automats_[automat].start();
    emit automatChanged(automat);
}

void Controls::setHandPriority(bool on)
{
    if (on == handPriority())
        return;
    handScan_.setPriority(on);
    changed();
    emit handScanChanged(on, handX(), handY());
}

void Controls::setHandPosition(int x, int y)
{
    handScan_.put(static_cast<uint8_t>(std::clamp(x, 0, 255)), static_cast<uint8_t>(std::clamp(y, 0, 255)));
    changed();
}

void Controls::setKeys(bool on)
{
    if (std::exchange(keys_, on) != on)
        emit keysChanged(on);
}

void Controls::setConveyorKeys(bool on)
{
    if (std::exchange(conveyorKeys_, on) != on)
        emit conveyorKeysChanged(on);
}

void Controls::setDemo(bool on)
{
    if (on == demo())
        return;
    output_.setDemo(on);
    emit demoChanged(on);
    sendLink();
}

void Controls::clockTick()
{
    sequencer_.clockTick();
    emit clockChanged(clockText());
}

int Controls::scene() const
{
    return image_.currentScene() + 1;
}

int Controls::scenes() const
{
    return image_.lastScene() + 1;
}

bool Controls::playing() const
{
    return sequencer_.playing();
}

int Controls::tempo() const
{
    return Sequencer::clampTempo(image_.sceneTempo());
}

void Controls::setClockFollow(bool on)
{
    if (on)
        setTimecodeChase(false);
    beat_.setFollow(on);
}

void Controls::setBeatsPerScene(int beats)
{
    beat_.setBeatsPerScene(beats);
}

void Controls::setBeatSource(const QString& name)
{
    beat_.setSource(name);
}

void Controls::clockMessage(MidiMessage::Kind kind, TapTempo::Clock::time_point at)
{
    if (clockFollow() && beatSource() == QLatin1String("midi"))
        clockBeat_.message(kind, at);
}

bool Controls::linkEnabled() const
{
    return linkSession_.state() != LinkSession::State::Off;
}

int Controls::linkPeers() const
{
    return linkSession_.peers();
}

bool Controls::audioEnabled() const
{
    return audioInput_.state() != AudioInput::State::Off;
}

int Controls::audioConfidence() const
{
    return static_cast<int>(std::lround(audioInput_.confidence() * 100));
}

int Controls::period() const
{
    return sequencer_.period();
}

QString Controls::clockText() const
{
    return sequencer_.clockText();
}

bool Controls::link() const
{
    return link_.LinkReady && !state_.demo;
}

bool Controls::blackOut() const
{
    return state_.blackOut;
}

int Controls::mode() const
{
    return state_.transitionMode;
}

bool Controls::macro() const
{
    return state_.macroOut;
}

bool Controls::picture(int picture) const
{
    return picture >= 1 && picture <= kPictures && state_.pictures[picture - 1];
}

bool Controls::pictureLatched(int picture) const
{
    return this->picture(picture) && latched_[picture - 1];
}

bool Controls::manual() const
{
    return state_.manual;
}

int Controls::page() const
{
    return state_.pageOffset;
}

int Controls::fader(int strip) const
{
    return validStrip(strip) ? state_.stripLevel[strip - 1] : 0;
}

bool Controls::faderManual(int strip) const
{
    return validStrip(strip) && state_.stripChecked[strip - 1];
}

int Controls::channel(int channel) const
{
    if (channel < 1 || channel > kChannels)
        return 0;
    return validStrip(channel - page()) ? fader(channel - page()) : desk_.sceneLevel(channel);
}

bool Controls::automatRun(int automat) const
{
    return automats_[automat].runAlone();
}

bool Controls::automatWithShow(int automat) const
{
    return automats_[automat].withShow();
}

bool Controls::demo() const
{
    return state_.demo;
}

bool Controls::handPriority() const
{
    return state_.handPriority;
}

int Controls::handX() const
{
    return state_.handX;
}

int Controls::handY() const
{
    return state_.handY;
}

void Controls::refresh()
{
    sendScene();
    sendPlaying();
    sendDesk();
    sendTempo();
    sendPeriod();
}

void Controls::sendScene()
{
    const bool moved = std::exchange(shown_.scene, scene()) != scene();
    const bool counted = std::exchange(shown_.scenes, scenes()) != scenes();
    if (moved || counted)
        emit sceneChanged(scene(), scenes());
}

void Controls::sendTempo()
{
    if (std::exchange(shown_.tempo, tempo()) != tempo())
        emit tempoChanged(tempo());
}

void Controls::sendPeriod()
{
    if (std::exchange(shown_.period, period()) != period())
        emit periodChanged(period());
}

void Controls::sendLink()
{
    if (std::exchange(shown_.link, link()) != int(link()))
        emit linkChanged(link());
}

void Controls::sendPlaying()
{
    if (std::exchange(shown_.playing, playing()) != int(playing()))
        emit playingChanged(playing());
}

void Controls::sendDesk()
{
    if (std::exchange(shown_.page, page()) != page())
        emit pageChanged(page());
    for (int strip = 1; strip <= kStrips; ++strip) {
        if (std::exchange(shown_.faders[strip - 1], fader(strip)) != fader(strip))
            emit faderChanged(strip, fader(strip));
        if (std::exchange(shown_.manual[strip - 1], faderManual(strip)) != int(faderManual(strip)))
            emit faderManualChanged(strip, faderManual(strip));
    }
}

}  // namespace tavrelia
