#include "midi/folder_watch.h"

#include <QFileInfo>
#include <QSocketNotifier>

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>

namespace tavrelia {

namespace {
constexpr uint32_t kInFolder = IN_CREATE | IN_ATTRIB | IN_MOVED_TO | IN_ONLYDIR;
constexpr uint32_t kInParent = IN_CREATE | IN_MOVED_TO | IN_ONLYDIR;
}  // namespace

FolderWatch::FolderWatch(QObject* parent) : QObject(parent) {}

FolderWatch::~FolderWatch()
{
    stop();
}

bool FolderWatch::watch(const QString& folder)
{
    stop();
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0)
        return false;
    folder_ = QFileInfo(folder).absoluteFilePath();
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &FolderWatch::readEvents);
    arm();
    return true;
}

void FolderWatch::stop()
{
    delete notifier_;
    notifier_ = nullptr;
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = folderWatch_ = parentWatch_ = -1;
}

// The folder itself when it is there, otherwise its parent until it comes. True when
// the folder is watched.
bool FolderWatch::arm()
{
    const auto folder = [this] { return ::inotify_add_watch(fd_, folder_.toLocal8Bit().constData(), kInFolder); };
    folderWatch_ = folder();
    if (folderWatch_ < 0 && parentWatch_ < 0) {
        parentWatch_ = ::inotify_add_watch(fd_, QFileInfo(folder_).path().toLocal8Bit().constData(), kInParent);
        folderWatch_ = folder();   // made meanwhile
    }
    if (folderWatch_ >= 0 && parentWatch_ >= 0) {
        ::inotify_rm_watch(fd_, parentWatch_);
        parentWatch_ = -1;
    }
    return folderWatch_ >= 0;
}

void FolderWatch::readEvents()
{
    alignas(inotify_event) char buffer[4096];
    const QByteArray name = QFileInfo(folder_).fileName().toLocal8Bit();
    bool touched = false;
    bool rearm = false;
    ssize_t n;
    while ((n = ::read(fd_, buffer, sizeof buffer)) > 0) {
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            if (event->wd == folderWatch_ && (event->mask & IN_IGNORED)) {
                folderWatch_ = -1;   // the folder went: wait for it again
                rearm = true;
            } else if (event->wd == folderWatch_) {
                touched = true;
            } else if (event->wd == parentWatch_ && event->len > 0 && name == event->name) {
                rearm = true;
            }
        }
    }
    // A folder made again at once is found watching it afresh, with what is in it.
    if (rearm && arm())
        touched = true;
    if (touched)
        emit changed();
}

}  // namespace tavrelia
