#include "output/output_thread.h"

namespace tavrelia {

OutputThread::~OutputThread()
{
    stop();
}

void OutputThread::start(Tick tick)
{
    if (running())
        return;
    tick_ = std::move(tick);
    stopRequested_ = false;
    thread_ = std::thread([this] { run(); });
}

void OutputThread::stop()
{
    if (!running())
        return;
    {
        std::lock_guard<std::mutex> g(mutex_);
        stopRequested_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void OutputThread::run()
{
    Clock::time_point next = Clock::now() + kPeriod;
    std::unique_lock<std::mutex> lock(mutex_);
    while (!wake_.wait_until(lock, next, [this] { return stopRequested_; })) {
        lock.unlock();
        tick_(next);
        lock.lock();
        next += kPeriod;
        // After a stall (a suspended machine, a debugger) start afresh instead of
        // firing the missed ticks back to back.
        const Clock::time_point now = Clock::now();
        if (now > next + kPeriod)
            next = now + kPeriod;
    }
}

}  // namespace tavrelia
