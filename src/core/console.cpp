#include "console.h"

#include <algorithm>

#include <QFileInfo>

#include "audio/audio_connection.h"
#include "connections/connection_module.h"
#include "link/link_connection.h"
#include "midi/midi_connection.h"
#include "output/interface_connection.h"
#include "remote/remote_settings.h"
#include "surfaces/osc_settings.h"
#include "timecode/ltc_connection.h"
#include "timecode/mtc_connection.h"
#include "timecode/timecode_list.h"
#include "timecode/timecode_settings.h"

namespace tavrelia {

Console::Console()
{
    output.setSink(&frameWriter_);
    output.setAutomats(&automats);
    output.setFrameWatch(&frameWatch);
    // The connections, one line each, in the order they start.
    connections.add(InterfaceConnection::kId, InterfaceSettings::kGroup,
                    [this] { return std::make_unique<InterfaceConnection>(usbLink, outputThread_); }, Connections::When::Always);
    connections.add(RemoteSettings::kConnection, RemoteSettings::kGroup,
                    moduleConnection(RemoteSettings::kConnection, RemoteSettings::kGroup, "libtavrelia_remote.so", *this));
    connections.add(OscSettings::kConnection, OscSettings::kGroup,
                    moduleConnection(OscSettings::kConnection, OscSettings::kGroup, "libtavrelia_osc.so", *this));
    connections.add(MidiConnection::kId, MidiConnection::kGroup,
                    [this] { return std::make_unique<MidiConnection>(named, live, store); });
    connections.add(LinkConnection::kId, LinkConnection::kGroup,
                    [this] { return std::make_unique<LinkConnection>(linkSession); });
    // One timecode source at a time: the one [Timecode] Source= names.
    const auto timecodeSource = [](const QString& id) {
        return [id](SettingsStore::Group& group) { return TimecodeSettings::read(group).source == id; };
    };
    connections.add(MtcConnection::kId, TimecodeSettings::kGroup,
                    [this] { return std::make_unique<MtcConnection>(timecode, connections); },
                    timecodeSource(MtcConnection::kId));
    connections.add(LtcConnection::kId, TimecodeSettings::kGroup,
                    moduleConnection(LtcConnection::kId, TimecodeSettings::kGroup, "libtavrelia_ltc.so", *this),
                    timecodeSource(LtcConnection::kId));
    // The show's timecode list lives beside it and follows it.
    timecode.attach(named);
    showFiles.onLoaded = [this](const QString& path) { timecode.loadList(TimecodeList::pathFor(path)); };
    showFiles.onRenamed = [this](const QString& path) { timecode.moveList(TimecodeList::pathFor(path)); };
    connections.add(AudioConnection::kId, AudioConnection::kGroup,
                    [this] { return std::make_unique<AudioConnection>(audioInput); });
    // A name typed in the desk or written by a block copy reaches the remotes at once.
    for (auto signal : {&ChannelNames::changed, &ChannelNames::stored})
        QObject::connect(&names, signal, &named, &NamedControls::scheduleScan);
}

Console::~Console()
{
    stopOutput();
    connections.stopAll();
}

void Console::startOutput(TickProbe probe, bool realTime)
{
    frameWatch.listen();
    outputThread_.start(
        [this, probe = std::move(probe)](OutputThread::Clock::time_point deadline) {
            output.OutputTick();
            if (probe)
                probe(deadline);
        },
        realTime, [this] { output.OutputChange(); });
}

void Console::stopOutput()
{
    outputThread_.stop();
    // Whoever writes to the link next comes after the last frame of the tick.
    frameWriter_.drain();
}

bool Console::installShowFolder(QString* error)
{
    // Every close leaves both files: a folder with neither has never seen a run.
    const bool firstStart =
        !QFileInfo::exists(folder.settingsFile()) && !QFileInfo::exists(folder.colorFile());
    if (!folder.create(error))
        return false;
    if (!firstStart)
        return true;
    const FileResult colors = colorFile.SaveColorEdit(folder.colorFile());
    *error = colors.error;
    return colors.done();
}

QString Console::saveColorFile() const
{
    QString error;
    if (folder.create(&error))
        error = colorFile.SaveColorEdit(folder.colorFile()).error;
    return error;
}

void Console::readSettingsFile(const QString& path)
{
    settings = SettingsFile::read(path);
    showFiles.openFileName = settings.lastFile;
    conveyor.ReadIniFile();
}

void Console::clearShowData()
{
    live.halt();
    auto guard = lock();
    sceneBuffer.fill(0);
    std::fill_n(dmx.OutputFrame.begin(), 512, uint8_t{0});
    std::fill_n(dmx.SceneFrame.begin(), 512, uint8_t{0});
    image.resetToNewShow();
}

}  // namespace tavrelia
