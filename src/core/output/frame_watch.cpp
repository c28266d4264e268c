#include "output/frame_watch.h"

#include <QSocketNotifier>

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace tavrelia {

FrameWatch::FrameWatch(QObject* parent)
    : QObject(parent), fd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
}

FrameWatch::~FrameWatch()
{
    delete notifier_;
    if (fd_ >= 0)
        close(fd_);
}

void FrameWatch::listen()
{
    if (notifier_ || fd_ < 0)
        return;
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read);
    connect(notifier_, &QSocketNotifier::activated, this, &FrameWatch::take);
}

void FrameWatch::post() noexcept
{
    if (fd_ < 0 || pending_.exchange(true, std::memory_order_acq_rel))
        return;
    const uint64_t one = 1;
    // Non-blocking: a full counter already has a post waiting.
    [[maybe_unused]] const ssize_t written = write(fd_, &one, sizeof one);
}

void FrameWatch::take()
{
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(fd_, &count, sizeof count);
    pending_.store(false, std::memory_order_release);
    emit frameChanged();
}

}  // namespace tavrelia
