#include "output/output_thread.h"

#include <pthread.h>
#include <sched.h>
#include <sys/prctl.h>

namespace tavrelia {

namespace {
class SteadyTimer final : public OutputThread::Timer {
public:
    OutputThread::Clock::time_point now() override { return OutputThread::Clock::now(); }
    bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                   OutputThread::Clock::time_point deadline, const bool& woken) override
    {
        return wake.wait_until(lock, deadline, [&] { return woken; });
    }
};
}  // namespace

OutputThread::Timer& OutputThread::steadyTimer()
{
    static SteadyTimer timer;
    return timer;
}

OutputThread::~OutputThread()
{
    stop();
}

void OutputThread::start(Tick tick, bool realTime, Change change)
{
    if (running())
        return;
    tick_ = std::move(tick);
    change_ = std::move(change);
    wantRealTime_ = realTime;
    stopRequested_ = false;
    woken_ = false;
    thread_ = std::thread([this] { run(); });
}

void OutputThread::stop()
{
    if (!running())
        return;
    {
        std::lock_guard<std::mutex> g(mutex_);
        stopRequested_ = true;
        woken_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void OutputThread::poke()
{
    if (!sendOnChange_ || !change_)
        return;
    {
        std::lock_guard<std::mutex> g(mutex_);
        woken_ = true;
    }
    wake_.notify_all();
}

// A busy desktop delays a normal thread's wake-up by milliseconds; a real-time thread
// that works for microseconds every 50 ms takes nothing from anyone. Users get the
// right with an rtprio limit (see README); without it the thread runs as it is.
bool OutputThread::raiseToRealTime()
{
    sched_param param{};
    param.sched_priority = 10;
    return pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
}

void OutputThread::raisePriority()
{
    realTime_ = wantRealTime_ && raiseToRealTime();
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);   // wake at the deadline, not up to 50 us later
}

void OutputThread::run()
{
    prctl(PR_SET_NAME, "tavrelia-out", 0UL, 0UL, 0UL);   // tells it apart in top and ps
    raisePriority();
    Clock::time_point next = timer_.now() + kPeriod;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (timer_.waitUntil(lock, wake_, next, woken_)) {
            if (stopRequested_)
                return;
            // A change between ticks: out now; the tick keeps its deadline.
            woken_ = false;
            lock.unlock();
            change_();
            lock.lock();
            continue;
        }
        lock.unlock();
        tick_(next);
        lock.lock();
        next += kPeriod;
        // After a stall (a suspended machine, a debugger) start afresh instead of
        // firing the missed ticks back to back.
        const Clock::time_point now = timer_.now();
        if (now > next + kPeriod)
            next = now + kPeriod;
    }
}

}  // namespace tavrelia
