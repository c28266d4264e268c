#include "player/show_player.h"

#include <QFileInfo>
#include <QTimer>

#include "console.h"
#include "output/recode_table_file.h"

namespace tavrelia {

ShowPlayer::ShowPlayer(Console& console, PlayerOptions options, std::FILE* out, std::FILE* err)
    : console_(console), options_(std::move(options)), out_(out), err_(err)
{
}

bool ShowPlayer::fail(const QString& message)
{
    std::fputs(("tavrelia: " + message + '\n').toUtf8().constData(), err_);
    std::fflush(err_);
    return false;
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

    // The table first: a show that is then refused puts it back, so that a refused
    // command line changes nothing.
    const auto table = console_.RecodeTable;
    if (!options_.recodeFile.isEmpty() &&
        !RecodeTableFile::load(console_, QFileInfo(options_.recodeFile).absoluteFilePath(), &error))
        return fail(error);

    // A relative name means the current folder here, not the show folder.
    showPath_ = QFileInfo(options_.showFile).absoluteFilePath();
    console_.showFiles.openFileName = showPath_;
    const ShowFiles::Result loaded = console_.showFiles.BlocOpenFile();
    if (!loaded.done()) {
        auto guard = console_.lock();
        console_.RecodeTable = table;
    }
    if (loaded.status == ShowFiles::Result::Status::Missing)
        return fail(QStringLiteral("no show file %1").arg(showPath_));
    if (!loaded.done())
        return fail(loaded.error);

    auto guard = console_.lock();
    console_.controls.transitionMode = options_.transitionMode;
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

void ShowPlayer::start()
{
    UsbLink& link = console_.usbLink;
    link.setDriver(makeUsbDriver(settings_));
    // After the link's own polling handler, which was connected first.
    connect(link.timerPolling(), &QTimer::timeout, this, &ShowPlayer::reportLink);
    link.InitUsbDevise();
    console_.startOutput();

    Sequencer& sequencer = console_.sequencer;
    sequencer.TempStatus();
    if (options_.verbose)
        connect(&sequencer, &Sequencer::advanced, this, &ShowPlayer::reportScene);
    sequencer.start();
    sequencer.playFromFirstScene();
    say(QStringLiteral("playing %1 on %2, tempo %3: a scene every %4 ms")
            .arg(showPath_, interfaceText())
            .arg(Sequencer::clampTempo(console_.image.sceneTempo()))
            .arg(sequencer.period()));
    if (options_.verbose)
        reportScene();
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
    console_.stopOutput();
    if (!options_.hold) {
        size_t length = 0;
        {
            auto guard = console_.lock();
            console_.OutputFrame.fill(0);
            length = console_.output.SendToUsb();
        }
        if (length > 0)
            console_.usbLink.writePacket(console_.output.txBuffer().data(), length);
    }
    console_.usbLink.CloseUsbDevise();
    say(options_.hold ? QStringLiteral("stopped, the last levels held")
                      : QStringLiteral("stopped, all channels at zero"));
}

}  // namespace tavrelia
