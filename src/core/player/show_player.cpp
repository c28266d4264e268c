#include "player/show_player.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <cmath>
#include <utility>

#include "console.h"
#include "output/recode_table_file.h"
#include "control/pin_guard.h"

namespace tavrelia {

namespace {

// A message as one line of the journal: a file error's reason follows its name.
QString oneLine(QString text)
{
    return text.replace(QLatin1Char('\n'), QLatin1String(": "));
}

QString problemOf(const FileResult& result, const QString& path)
{
    return result.status == FileResult::Status::Missing ? QStringLiteral("no show file %1").arg(path)
                                                        : oneLine(result.error);
}

}  // namespace

ShowPlayer::ShowPlayer(Console& console, PlayerOptions options, std::FILE* out, std::FILE* err)
    : console_(console), options_(std::move(options)), out_(out), err_(err)
{
}

bool ShowPlayer::fail(const QString& message)
{
    warn(message);
    return false;
}

void ShowPlayer::warn(const QString& message) const
{
    std::fputs(("tavrelia: " + oneLine(message) + '\n').toUtf8().constData(), err_);
    std::fflush(err_);
}

void ShowPlayer::say(const QString& line) const
{
    std::fputs((line + '\n').toUtf8().constData(), out_);
    std::fflush(out_);
}

bool ShowPlayer::prepare()
{
    QString error;
    settings_ = InterfaceSettings::load(&error);
    if (options_.backend)
        settings_.backend = *options_.backend;
    else if (!error.isEmpty())
        return fail(error);
    // The port first: a port taken by another program refuses the run before the
    // show or the table is touched.
    if (options_.osc && !startOsc())
        return false;

    // The table first: when the show is then refused the table is put back, so that a
    // refused command line changes nothing.
    DmxOutput::Recoding& recoding = console_.dmx.RecodeTable;
    const DmxOutput::Recoding table = recoding;
    if (!options_.recodeFile.isEmpty() &&
        !RecodeTableFile::load(recoding, console_.consoleLock,
                               QFileInfo(options_.recodeFile).absoluteFilePath(), &error)) {
        console_.osc.stop();
        return fail(error);
    }
    if (!options_.beat.isEmpty() && !console_.beat.hasSource(options_.beat)) {
        console_.osc.stop();
        return fail(QStringLiteral("--beat %1: this build has no such beat").arg(options_.beat));
    }
    if (!(options_.conveyor ? prepareConveyor() : prepareShow())) {
        console_.osc.stop();
        auto guard = console_.lock();
        recoding = table;
        return false;
    }

    auto guard = console_.lock();
    console_.controls.transitionMode = options_.transitionMode;
    return true;
}

bool ShowPlayer::startOsc()
{
    QString error;
    const OscSettings settings = OscSettings::load(&error);
    if (!error.isEmpty())
        return fail(error);
    const QString pin = PinGuard::stored();
    if (const std::optional<QString> problem = PinGuard::problem(pin))
        return fail(QStringLiteral("OSC: %1").arg(*problem));
    console_.osc.setPin(pin);
    if (!console_.osc.start(settings, &error))
        return fail(QStringLiteral("OSC: %1").arg(error));
    oscSettings_ = settings;
    return true;
}

void ShowPlayer::reportOsc() const
{
    const OscSettings& settings = oscSettings_;
    say(QStringLiteral("OSC on %1 port %2%3")
            .arg(settings.address.isEmpty() ? QStringLiteral("every interface") : settings.address)
            .arg(console_.osc.port())
            .arg(settings.hasFeedbackTarget()
                     ? QStringLiteral(", feedback to %1 port %2").arg(settings.feedbackHost).arg(settings.feedbackPort)
                     : QString()));
}

bool ShowPlayer::prepareShow()
{
    // A relative name means the current folder here, not the show folder.
    showPath_ = QFileInfo(options_.showFile).absoluteFilePath();
    console_.showFiles.openFileName = showPath_;
    const ShowFiles::Result loaded = console_.showFiles.BlocOpenFile();
    if (!loaded.done())
        return fail(problemOf(loaded, showPath_));
    return true;
}

bool ShowPlayer::prepareConveyor()
{
    showPath_ = options_.iniFile.isEmpty() ? console_.folder.settingsFile()
                                           : QFileInfo(options_.iniFile).absoluteFilePath();
    QFile list(showPath_);
    if (!QFileInfo(showPath_).isFile())
        return fail(QStringLiteral("no conveyor list: %1 does not exist").arg(showPath_));
    if (!list.open(QIODevice::ReadOnly))
        return fail(readErrorText(showPath_, list.errorString()));
    console_.readSettingsFile(showPath_);

    // As an operator would: the conveyor off, then a button pressed for each show
    // that can be played. A show that cannot is left out now rather than found
    // missing at its turn, when the show before it would simply play again.
    Conveyor& conveyor = console_.conveyor;
    conveyor.setMode(Conveyor::Mode::Off);
    int listed = 0;
    for (int n = 1; n <= Conveyor::kButtons; ++n) {
        if (!conveyor.button(n).bound)
            continue;
        ++listed;
        const QString path = console_.folder.resolve(conveyor.fileOf(n));
        QByteArray bytes;
        const FileResult check = ShowFiles::readShowFile(path, &bytes);
        if (!check.done()) {
            warn(QStringLiteral("conveyor button %1 left out: %2").arg(n).arg(problemOf(check, path)));
            continue;
        }
        conveyor.SpeedButtonClick(n);
        ++conveyorShows_;
    }
    if (listed == 0)
        return fail(QStringLiteral("the conveyor list %1 names no show").arg(showPath_));
    if (conveyorShows_ == 0)
        return fail(QStringLiteral("none of the shows of the conveyor list %1 can be played").arg(showPath_));
    return true;
}

QString ShowPlayer::interfaceText() const
{
    switch (settings_.backend) {
    case InterfaceSettings::Backend::Ola:
        return QStringLiteral("ola universe %1 (olad on port %2)")
            .arg(settings_.olaUniverse)
            .arg(settings_.olaPort);
    case InterfaceSettings::Backend::Serial:
        return QStringLiteral("serial %1").arg(settings_.serialDevice);
    case InterfaceSettings::Backend::Ftdi:
        break;
    }
    return QStringLiteral("ftdi");
}

QString ShowPlayer::tempoText() const
{
    return QStringLiteral("tempo %1: a scene every %2 ms")
        .arg(Sequencer::clampTempo(console_.image.sceneTempo()))
        .arg(console_.sequencer.period());
}

void ShowPlayer::start()
{
    UsbLink& link = console_.usbLink;
    link.setDriver(makeUsbDriver(settings_));
    // After the link's own polling handler, which was connected first.
    connect(link.timerPolling(), &QTimer::timeout, this, &ShowPlayer::reportLink);
    link.InitUsbDevise();
    console_.startOutput();

    Controls& live = console_.live;
    if (options_.conveyor) {
        say(QStringLiteral("playing the conveyor list %1 on %2: %3 shows")
                .arg(showPath_, interfaceText())
                .arg(conveyorShows_));
        connect(&console_.conveyor, &Conveyor::loaded, this, &ShowPlayer::conveyorLoaded);
        // Loads the list's first show and plays it.
        live.setConveyorMode(Conveyor::Mode::ListBegin);
    } else {
        live.go(1);
        takeShow(QStringLiteral("playing %1 on %2").arg(showPath_, interfaceText()));
    }
    if (options_.osc)
        reportOsc();
    Sequencer& sequencer = console_.sequencer;
    if (options_.verbose)
        connect(&sequencer, &Sequencer::advanced, this, &ShowPlayer::reportScene);
    for (int n = 1; n <= 2; ++n) {
        const PlayerOptions::AutomatRun run = options_.automats[n - 1];
        if (run == PlayerOptions::AutomatRun::Off)
            continue;
        live.setAutomatRun(n, run == PlayerOptions::AutomatRun::Alone);
        live.setAutomatWithShow(n, run == PlayerOptions::AutomatRun::WithShow);
    }
    sequencer.start();
    // After the show plays: a surface is sent the state it will see.
    if (options_.midi || options_.beat == QLatin1String("midi"))
        startMidi();
    if (!options_.beat.isEmpty())
        startBeat();
    // The show clock that remotes show; the window's sequencer panel keeps its own.
    auto* clock = new QTimer(this);
    clock->setObjectName(QStringLiteral("PlayerClock"));
    connect(clock, &QTimer::timeout, &live, &Controls::clockTick);
    clock->start(1000);
    if (options_.verbose)
        reportScene();
}

void ShowPlayer::takeShow(const QString& firstWords)
{
    console_.sequencer.TempStatus();
    say(firstWords + QStringLiteral(", ") + tempoText());
    for (int n = 1; n <= 2; ++n) {
        if (options_.automats[n - 1] == PlayerOptions::AutomatRun::Off)
            continue;
        Automat& automat = console_.automats[n];
        automat.takeStoredSettings();
        say(QStringLiteral("automat %1: channels %2..%3, effect %4, a step every %5 ms")
                .arg(n)
                .arg(automat.channel() + 1)
                .arg(automat.channel() + Automat::kChannels)
                .arg(automat.program())
                .arg(automat.period()));
    }
}

void ShowPlayer::conveyorLoaded(const FileResult& result)
{
    const QString path = console_.folder.resolve(console_.showFiles.openFileName);
    if (!result.done()) {
        warn(problemOf(result, path) + QStringLiteral("; the show before it plays again"));
        return;
    }
    takeShow(QStringLiteral("show %1").arg(path));
}

void ShowPlayer::startMidi()
{
    MidiLink& midi = console_.midi;
    connect(&midi, &MidiLink::devicesChanged, this, &ShowPlayer::reportMidiDevices);
    midi.start();
    for (const QString& fault : midi.faults())
        warn(QStringLiteral("[MIDI map] %1").arg(fault));
    const QString device = MidiLink::deviceSetting();
    const qsizetype bindings = midi.surface().map().entries().size();
    say(QStringLiteral("MIDI: %1 binding%2, on %3 (looked for every second)")
            .arg(bindings)
            .arg(bindings == 1 ? "" : "s")
            .arg(device.isEmpty() ? QStringLiteral("/dev/snd/midiC*D*") : device));
    reportMidiDevices();
}

// A line for each device found or lost, as for the interface.
void ShowPlayer::reportMidiDevices()
{
    const QStringList open = console_.midi.devices();
    for (const QString& path : open) {
        if (!midiDevices_.contains(path))
            say(QStringLiteral("MIDI device found: %1").arg(path));
    }
    for (const QString& path : std::as_const(midiDevices_)) {
        if (!open.contains(path))
            say(QStringLiteral("MIDI device lost: %1").arg(path));
    }
    midiDevices_ = open;
}

void ShowPlayer::startBeat()
{
    Controls& live = console_.live;
    connect(&live, &Controls::beatTempoChanged, this, &ShowPlayer::reportBeatTempo);
    if (options_.beat == QLatin1String("link")) {
        connect(&live, &Controls::linkSessionChanged, this, &ShowPlayer::reportLinkSession);
        console_.linkSession.start(true);
    }
    live.setBeatSource(options_.beat);
    live.setClockFollow(true);
    say(QStringLiteral("following the beat of %1, %2 a scene")
            .arg(options_.beat)
            .arg(live.beatsPerScene() == 1 ? QStringLiteral("a beat") : QStringLiteral("%1 beats").arg(live.beatsPerScene())));
}

void ShowPlayer::reportLinkSession()
{
    const LinkSession& session = console_.linkSession;
    if (session.state() == LinkSession::State::Fault)
        warn(QStringLiteral("Link: %1").arg(session.reason()));
    if (session.on() && std::exchange(linkPeers_, session.peers()) != session.peers())
        say(QStringLiteral("Link: %1 peer%2").arg(session.peers()).arg(session.peers() == 1 ? "" : "s"));
}

void ShowPlayer::reportBeatTempo(double bpm)
{
    const int whole = static_cast<int>(std::lround(bpm));
    if (whole > 0 && std::exchange(beatTempo_, whole) != whole)
        say(QStringLiteral("beat tempo %1").arg(whole));
}

void ShowPlayer::reportLink()
{
    const UsbLink& link = console_.usbLink;
    const bool open = link.DeviceOpen;
    if (lastOpen_ == open)
        return;
    const bool first = !lastOpen_;
    lastOpen_ = open;
    if (open) {
        say(QStringLiteral("interface found: %1").arg(link.UsbDescriptionText()));
        return;
    }
    const QString why = link.LinkStatusText().isEmpty() ? link.UsbDeviceCountText()
                                                        : link.LinkStatusText();
    say(QStringLiteral("interface %1: %2").arg(QString::fromLatin1(first ? "not found" : "lost"), why.trimmed()));
}

void ShowPlayer::reportScene()
{
    const ShowImage& image = console_.image;
    say(QStringLiteral("scene %1 of %2").arg(image.currentScene() + 1).arg(image.lastScene() + 1));
}

void ShowPlayer::finish()
{
    console_.sequencer.ModeStop();
    console_.sequencer.timer().stop();
    for (int n = 1; n <= 2; ++n)
        console_.automats[n].timer().stop();
    console_.stopOutput();
    if (!options_.hold) {
        size_t length = 0;
        {
            auto guard = console_.lock();
            console_.dmx.OutputFrame.fill(0);
            length = console_.output.SendToUsb(guard);
        }
        if (length > 0)
            console_.usbLink.writePacket(console_.output.txBuffer().data(), length);
    }
    console_.usbLink.CloseUsbDevise();
    console_.osc.stop();
    console_.midi.stop();
    console_.linkSession.stop();
    say(options_.hold ? QStringLiteral("stopped, the last levels held")
                      : QStringLiteral("stopped, all channels at zero"));
}

}  // namespace tavrelia
