#include "player/show_player.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <cmath>
#include <utility>

#include "audio/audio_connection.h"
#include "console.h"
#include "link/link_connection.h"
#include "output/recode_table_file.h"
#include "midi/midi_connection.h"
#include "output/interface_connection.h"
#include "remote/remote_settings.h"
#include "surfaces/osc_settings.h"
#include "timecode/mtc_connection.h"
#include "timecode/timecode_settings.h"

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

std::optional<int> ShowPlayer::prepare()
{
    // The table first: when the show is then refused the table is put back, so that a
    // refused command line changes nothing.
    QString error;
    DmxOutput::Recoding& recoding = console_.dmx.RecodeTable;
    const DmxOutput::Recoding table = recoding;
    if (!options_.recodeFile.isEmpty() &&
        !RecodeTableFile::load(recoding, console_.consoleLock,
                               QFileInfo(options_.recodeFile).absoluteFilePath(), &error)) {
        warn(error);
        return 1;
    }
    if (!options_.beat.isEmpty() && !console_.beat.hasSource(options_.beat)) {
        warn(QStringLiteral("--beat %1: this build has no such beat").arg(options_.beat));
        auto guard = console_.lock();
        recoding = table;
        return 1;
    }
    std::optional<int> refused;
    if (!(options_.conveyor ? prepareConveyor() : prepareShow()))
        refused = 1;
    else
        refused = startConnections();
    if (refused) {
        console_.connections.stopAll();
        auto guard = console_.lock();
        recoding = table;
        return refused;
    }

    console_.live.setMode(options_.transitionMode);
    return std::nullopt;
}

std::optional<int> ShowPlayer::startConnections()
{
    if (options_.backend)
        console_.store.setOverride(InterfaceSettings::kGroup, QStringLiteral("Backend"),
                                   InterfaceSettings::nameOf(*options_.backend));
    chosen_ = {InterfaceConnection::kId};
    QString timecode;
    if (options_.timecode) {
        QStringList problems;
        timecode = console_.store.read<TimecodeSettings>(&problems).source;
        for (const QString& problem : std::as_const(problems))
            warn(problem);
        if (!problems.isEmpty())
            return 2;
        if (timecode == QLatin1String("none")) {
            warn(QStringLiteral("--timecode: no source: set [Timecode] Source=mtc or ltc in %1")
                     .arg(console_.store.path()));
            return 2;
        }
    }
    for (const auto& [asked, id] : {std::pair{options_.osc, OscSettings::kConnection},
                                    {options_.midi || options_.beat == QLatin1String("midi") ||
                                         timecode == MtcConnection::kId,
                                     MidiConnection::kId},
                                    {options_.timecode, timecode},
                                    {options_.beat == QLatin1String("link"), LinkConnection::kId},
                                    {options_.beat == QLatin1String("audio"), AudioConnection::kId},
                                    {options_.remote, RemoteSettings::kConnection}}) {
        if (asked)
            chosen_.append(id);
    }
    Connections& connections = console_.connections;
    connections.choose(chosen_);
    connections.startAll();
    bool bad = false;
    for (const QString& id : std::as_const(chosen_)) {
        for (const QString& problem : connections.problems(id)) {
            warn(problem);
            bad = true;
        }
    }
    if (bad)
        return 2;
    // OSC runs in the window without a PIN, refusing every command; a player has
    // nobody to set one.
    QString why;
    if (const std::optional<QString> problem = console_.pins.problem(); options_.osc && problem)
        why = QStringLiteral("OSC: %1").arg(*problem);
    for (const QString& id : std::as_const(chosen_)) {
        if (why.isEmpty() && connections.state(id) == Connection::State::Fault)
            why = QStringLiteral("%1: %2").arg(connections.find(id)->group(), connections.reason(id));
    }
    if (why.isEmpty())
        return std::nullopt;
    warn(why);
    return 1;
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
    console_.live.setConveyorMode(Conveyor::Mode::Off);
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
        console_.live.pressConveyor(n);
        ++conveyorShows_;
    }
    if (listed == 0)
        return fail(QStringLiteral("the conveyor list %1 names no show").arg(showPath_));
    if (conveyorShows_ == 0)
        return fail(QStringLiteral("none of the shows of the conveyor list %1 can be played").arg(showPath_));
    return true;
}

QString ShowPlayer::tempoText() const
{
    return QStringLiteral("tempo %1: a scene every %2 ms")
        .arg(Sequencer::clampTempo(console_.image.sceneTempo()))
        .arg(console_.sequencer.period());
}

void ShowPlayer::start()
{
    // After the link's own polling handler, which was connected first.
    connect(console_.usbLink.timerPolling(), &QTimer::timeout, this, &ShowPlayer::reportLink);
    console_.startOutput();
    const QString interface = console_.connections.where(InterfaceConnection::kId);

    Controls& live = console_.live;
    if (options_.conveyor) {
        say(QStringLiteral("playing the conveyor list %1 on %2: %3 shows")
                .arg(showPath_, interface)
                .arg(conveyorShows_));
        connect(&console_.conveyor, &Conveyor::loaded, this, &ShowPlayer::conveyorLoaded);
        // Loads the list's first show and plays it.
        live.setConveyorMode(Conveyor::Mode::ListBegin);
    } else {
        live.go(1);
        takeShow(QStringLiteral("playing %1 on %2").arg(showPath_, interface));
    }
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
    reportConnections();
    if (!options_.beat.isEmpty())
        startBeat();
    if (options_.timecode) {
        connect(&console_.timecode, &Timecode::listChanged, this, &ShowPlayer::reportTimecodeList);
        reportTimecodeList();
        live.setTimecodeChase(true);
    }
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

void ShowPlayer::reportConnections()
{
    Connections& connections = console_.connections;
    if (options_.osc)
        say(QStringLiteral("OSC on %1").arg(connections.where(OscSettings::kConnection)));
    if (options_.remote)
        say(QStringLiteral("remote on %1").arg(connections.where(QStringLiteral("remote"))));
    auto* midi = qobject_cast<MidiConnection*>(connections.find(MidiConnection::kId));
    if (!options_.midi || !midi)
        return;
    connect(&connections, &Connections::changed, this, [this](const QString& id) {
        if (id == MidiConnection::kId)
            reportMidiDevices();
    });
    for (const QString& fault : midi->link().faults())
        warn(QStringLiteral("[MIDI map] %1").arg(fault));
    const quint64 bindings = midi->count(QStringLiteral("bindings"));
    say(QStringLiteral("MIDI: %1 binding%2, on %3 (looked for every second)")
            .arg(bindings)
            .arg(bindings == 1 ? "" : "s")
            .arg(midi->device().isEmpty() ? QStringLiteral("/dev/snd/midiC*D*") : midi->device()));
    reportMidiDevices();
}

// A line for each device found or lost, as for the interface.
void ShowPlayer::reportMidiDevices()
{
    const QString where = console_.connections.where(MidiConnection::kId);
    const QStringList open = where.isEmpty() ? QStringList() : where.split(QStringLiteral(", "));
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
        reportLinkSession();
    }
    if (options_.beat == QLatin1String("audio")) {
        connect(&console_.audioInput, &AudioInput::changed, this, &ShowPlayer::reportAudioInput);
        connect(&console_.audioInput, &AudioInput::beatChanged, this, &ShowPlayer::reportAudioInput);
        reportAudioInput();
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

// The input opened or failed; the beat found or lost.
void ShowPlayer::reportAudioInput()
{
    const AudioInput& input = console_.audioInput;
    const auto state = input.state();
    if (std::exchange(audioState_, int(state)) != int(state)) {
        if (state == AudioInput::State::Fault)
            warn(QStringLiteral("sound input %1: %2").arg(input.device(), input.reason()));
        else if (state == AudioInput::State::On)
            say(QStringLiteral("sound input: %1, %2 Hz, %3 channel%4")
                    .arg(input.device())
                    .arg(input.rate())
                    .arg(input.channels())
                    .arg(input.channels() == 1 ? "" : "s"));
    }
    if (std::exchange(audioFound_, input.found()) != input.found())
        say(input.found() ? QStringLiteral("beat found in the sound") : QStringLiteral("beat lost in the sound"));
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

void ShowPlayer::reportTimecodeList()
{
    const Timecode& timecode = console_.timecode;
    for (const QString& problem : timecode.listProblems())
        warn(problem);
    const QString path = timecode.list().path();
    say(QStringLiteral("chasing timecode from %1: %2, %3 rows")
            .arg(timecode.source(), path.isEmpty() ? QStringLiteral("no list") : path)
            .arg(timecode.list().size()));
}

void ShowPlayer::finish()
{
    console_.live.stop();
    console_.sequencer.timer().stop();
    for (int n = 1; n <= 2; ++n)
        console_.automats[n].timer().stop();
    console_.stopOutput();
    if (!options_.hold) {
        bool ready = false;
        {
            auto guard = console_.lock();
            console_.dmx.OutputFrame.fill(0);
            ready = console_.output.SendToUsb(guard);
        }
        if (ready)
            console_.usbLink.writeFrame(console_.output.sendFrame());
    }
    console_.connections.stopAll();
    say(options_.hold ? QStringLiteral("stopped, the last levels held")
                      : QStringLiteral("stopped, all channels at zero"));
}

}  // namespace tavrelia
