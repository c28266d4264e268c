#include "console.h"

#include <algorithm>

#include <QFileInfo>

#include "audio/audio_connection.h"
#include "link/link_connection.h"
#include "midi/midi_connection.h"
#include "output/interface_connection.h"
#include "surfaces/osc_connection.h"

namespace tavrelia {

Console::Console()
{
    output.setSink(&packetWriter_);
    output.setAutomats(&automats);
    output.setFrameWatch(&frameWatch);
    // The connections, one line each, in the order they start.
    connections.add(InterfaceConnection::kId, InterfaceSettings::kGroup,
                    [this] { return std::make_unique<InterfaceConnection>(usbLink); }, Connections::When::Always);
    connections.add(OscConnection::kId, OscSettings::kGroup,
                    [this] { return std::make_unique<OscConnection>(named, pins); });
    connections.add(MidiConnection::kId, MidiConnection::kGroup,
                    [this] { return std::make_unique<MidiConnection>(named, live, store); });
    connections.add(LinkConnection::kId, LinkConnection::kGroup,
                    [this] { return std::make_unique<LinkConnection>(linkSession); });
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
        realTime);
}

void Console::stopOutput()
{
    outputThread_.stop();
    // Whoever writes to the link next comes after the last packet of the tick.
    packetWriter_.drain();
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
    auto guard = lock();
    sceneBuffer.fill(0);
    std::fill_n(dmx.OutputFrame.begin(), 512, uint8_t{0});
    image.resetToNewShow();
    play.PlayFlag = false;
}

}  // namespace tavrelia
