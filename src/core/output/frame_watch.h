#pragma once

#include <QObject>

#include <atomic>

class QSocketNotifier;

namespace tavrelia {

// Tells the user-interface thread that the output frame has changed, so that what
// shows the output refreshes while it moves and sleeps while it stands still. The
// output thread only writes to an event counter: it never allocates, never waits and
// never touches an object of the other thread.
class FrameWatch : public QObject {
    Q_OBJECT
public:
    explicit FrameWatch(QObject* parent = nullptr);
    ~FrameWatch() override;
    FrameWatch(const FrameWatch&) = delete;
    FrameWatch& operator=(const FrameWatch&) = delete;

    // User-interface thread, once its event loop can run: frameChanged follows posts.
    void listen();

    // Output thread, after the lock is let go: the frame just built differs from the
    // one before. Posts made before the user-interface thread has taken the last one
    // make one signal.
    void post() noexcept;

signals:
    void frameChanged();

private:
    void take();

    int fd_ = -1;
    std::atomic<bool> pending_{false};
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace tavrelia
