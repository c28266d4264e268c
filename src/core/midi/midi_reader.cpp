#include "midi/midi_reader.h"

#include <QByteArray>
#include <QMetaObject>

#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace tavrelia {

namespace {

// Below the output thread's real-time priority (it must never wait for MIDI); a
// system that refuses real-time may still allow a lower nice value, and one that
// refuses both leaves the thread as it is.
bool raiseThisThread()
{
    sched_param param{};
    param.sched_priority = 5;
    if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0)
        return true;
    return setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), -10) == 0;
}

}  // namespace

MidiReader::MidiReader(QObject* parent)
    : QObject(parent), wakeFd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)), thread_([this] { run(); })
{
}

MidiReader::~MidiReader()
{
    {
        std::lock_guard g(mutex_);
        stop_ = true;
    }
    wake();
    thread_.join();
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
}

void MidiReader::wake()
{
    const uint64_t one = 1;
    const ssize_t n = ::write(wakeFd_, &one, sizeof one);
    (void)n;
}

void MidiReader::add(int fd, const QString& path)
{
    {
        std::lock_guard g(mutex_);
        devices_[fd] = path;
        ++generation_;
    }
    wake();
}

void MidiReader::remove(int fd)
{
    std::unique_lock g(mutex_);
    if (!devices_.erase(fd))
        return;
    const uint64_t wanted = ++generation_;
    g.unlock();
    wake();
    g.lock();
    seen_.wait(g, [&] { return seenGeneration_ >= wanted || stop_; });
}

void MidiReader::run()
{
    prctl(PR_SET_NAME, "tavrelia-midi", 0UL, 0UL, 0UL);
    raised_ = raiseThisThread();
    std::vector<pollfd> polled;
    std::vector<QString> paths;
    char buffer[512];
    for (;;) {
        {
            std::lock_guard g(mutex_);
            if (stop_)
                return;
            polled.assign(1, pollfd{wakeFd_, POLLIN, 0});
            paths.assign(1, QString());
            for (const auto& [fd, path] : devices_) {
                polled.push_back({fd, POLLIN, 0});
                paths.push_back(path);
            }
            seenGeneration_ = generation_;
        }
        seen_.notify_all();
        if (::poll(polled.data(), polled.size(), -1) < 0 && errno != EINTR)
            return;
        const Clock::time_point at = Clock::now();
        if (polled[0].revents & POLLIN) {
            uint64_t count = 0;
            const ssize_t n = ::read(wakeFd_, &count, sizeof count);
            (void)n;
        }
        for (size_t i = 1; i < polled.size(); ++i) {
            if (!polled[i].revents)
                continue;
            const ssize_t n = ::read(polled[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                std::lock_guard g(mutex_);
                reads_.push_back({paths[i], QByteArray(buffer, int(n)), at});
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                // Unplugged (ENODEV, EIO) or hung up: no longer read; the owner drops it.
                std::lock_guard g(mutex_);
                devices_.erase(polled[i].fd);
                ++generation_;
                reads_.push_back({paths[i], {}, at});
            } else {
                continue;
            }
            QMetaObject::invokeMethod(this, "deliver", Qt::QueuedConnection);
        }
    }
}

void MidiReader::deliver()
{
    std::vector<Read> reads;
    {
        std::lock_guard g(mutex_);
        reads.swap(reads_);
    }
    for (const Read& read : reads) {
        if (read.data.isEmpty())
            emit lost(read.path);
        else
            emit bytes(read.path, read.data, read.at);
    }
}

}  // namespace tavrelia
