#include "midi/raw_midi_ports.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "midi/folder_watch.h"
#include "midi/midi_reader.h"

namespace tavrelia {

struct RawMidiPorts::Device {
    int fd = -1;
    ~Device()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

namespace {

// A serial line (or a terminal standing in for a device) passes bytes untouched only
// in raw mode; a sound card's node is no terminal and needs nothing.
void makeRawWhenTerminal(int fd)
{
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return;
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tcsetattr(fd, TCSANOW, &tio);
}

}  // namespace

RawMidiPorts::RawMidiPorts(QObject* parent)
    : QObject(parent), scanTimer_(new QTimer(this)), watch_(new FolderWatch(this)), reader_(new MidiReader(this))
{
    scanTimer_->setObjectName(QStringLiteral("TimerMidiScan"));
    scanTimer_->setInterval(kScanMs);
    connect(scanTimer_, &QTimer::timeout, this, &RawMidiPorts::scan);
    connect(watch_, &FolderWatch::changed, this, &RawMidiPorts::scan);
    connect(reader_, &MidiReader::bytes, this, [this](const QString& path, const QByteArray& bytes, MidiReader::Clock::time_point at) {
        // Bytes read before the device was dropped are not its successor's.
        if (devices_.count(path))
            emit received(path, bytes, at);
    });
    connect(reader_, &MidiReader::lost, this, &RawMidiPorts::drop);
}

RawMidiPorts::~RawMidiPorts()
{
    while (!devices_.empty())
        drop(devices_.begin()->first);
}

void RawMidiPorts::setDevice(const QString& path)
{
    device_ = path.trimmed();
    while (!devices_.empty())
        drop(devices_.begin()->first);
}

void RawMidiPorts::start()
{
    const QString folder = device_.isEmpty() ? QStringLiteral("/dev/snd") : QFileInfo(device_).absolutePath();
    watching_ = watch_->watch(folder);
    scan();
}

void RawMidiPorts::stop()
{
    watch_->stop();
    watching_ = false;
    scanTimer_->stop();
    while (!devices_.empty())
        drop(devices_.begin()->first);
}

QStringList RawMidiPorts::candidates() const
{
    if (!device_.isEmpty())
        return {device_};
    const QDir snd(QStringLiteral("/dev/snd"));
    QStringList paths;
    for (const QString& name : snd.entryList({QStringLiteral("midiC*D*")}, QDir::System))
        paths.append(snd.filePath(name));
    return paths;
}

void RawMidiPorts::scan()
{
    bool again = !watching_;
    for (const QString& path : candidates()) {
        if (!devices_.count(path) && !open(path))
            again = true;
    }
    // The watch tells of new devices; one that is there but shut is tried every second.
    if (!again)
        scanTimer_->stop();
    else if (!scanTimer_->isActive())
        scanTimer_->start();
}

bool RawMidiPorts::open(const QString& path)
{
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT;   // not there (yet): the watch tells when it comes
    makeRawWhenTerminal(fd);
    auto device = std::make_unique<Device>();
    device->fd = fd;
    devices_[path] = std::move(device);
    reader_->add(fd, path);
    emit opened(path);
    return true;
}

void RawMidiPorts::drop(const QString& path)
{
    const auto it = devices_.find(path);
    if (it == devices_.end())
        return;
    reader_->remove(it->second->fd);   // no longer read before it is closed
    devices_.erase(it);
    emit closed(path);
}

void RawMidiPorts::send(const QByteArray& bytes)
{
    for (auto& [path, device] : devices_) {
        const ssize_t written = ::write(device->fd, bytes.constData(), static_cast<size_t>(bytes.size()));
        (void)written;
    }
}

QStringList RawMidiPorts::openPaths() const
{
    QStringList paths;
    for (const auto& entry : devices_)
        paths.append(entry.first);
    return paths;
}

}  // namespace tavrelia
