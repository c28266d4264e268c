#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;

namespace tavrelia {

// Entries made, moved in or given other permissions (as udev does just after the kernel
// makes a device node) in one folder, told through inotify on the event loop instead of
// looking every so often. A folder that is not there (no sound card: no /dev/snd) is
// waited for in its parent, and again after it went.
//
// Thread: the one that runs its event loop.
class FolderWatch : public QObject {
    Q_OBJECT
public:
    explicit FolderWatch(QObject* parent = nullptr);
    ~FolderWatch() override;
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // False when this system gives no inotify: the caller looks for itself.
    bool watch(const QString& folder);
    void stop();

signals:
    void changed();

private:
    bool arm();
    void readEvents();

    int fd_ = -1;
    int folderWatch_ = -1;
    int parentWatch_ = -1;
    QString folder_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace tavrelia
