#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <stdexcept>

#include "output/output_thread.h"

namespace tavrelia::test {

// A clock for the output thread that stands still until the test moves it. The
// thread's wait tells it the deadline it waits for, so a test can move the time
// exactly to a deadline, or past several.
class ManualTimer final : public OutputThread::Timer {
public:
    using Clock = OutputThread::Clock;

    Clock::time_point now() override
    {
        std::lock_guard<std::mutex> g(mutex_);
        return now_;
    }

    bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                   Clock::time_point deadline, const bool& stop) override
    {
        {
            std::lock_guard<std::mutex> g(mutex_);
            threadMutex_ = lock.mutex();
            wake_ = &wake;
            deadline_ = deadline;
        }
        waiting_.notify_all();
        wake.wait(lock, [&] { return stop || now() >= deadline; });
        std::lock_guard<std::mutex> g(mutex_);
        deadline_.reset();
        return stop;
    }

    // The deadline the thread waits for, once it waits.
    Clock::time_point nextDeadline()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!waiting_.wait_for(lock, std::chrono::seconds(10), [this] { return deadline_.has_value(); }))
            throw std::runtime_error("the output thread never waited");
        return *deadline_;
    }

    // Moves the time on and wakes the thread. The thread's own mutex is held for the
    // move, so a thread about to wait cannot miss it.
    void advance(Clock::duration by)
    {
        std::mutex* threadMutex = nullptr;
        std::condition_variable* wake = nullptr;
        {
            std::lock_guard<std::mutex> g(mutex_);
            threadMutex = threadMutex_;
            wake = wake_;
        }
        {
            std::unique_lock<std::mutex> thread;
            if (threadMutex)
                thread = std::unique_lock<std::mutex>(*threadMutex);
            std::lock_guard<std::mutex> g(mutex_);
            now_ += by;
        }
        if (wake)
            wake->notify_all();
    }

    // Up to the deadline the thread waits for: it ticks once.
    void advanceToNextDeadline() { advance(nextDeadline() - now()); }

private:
    std::mutex mutex_;
    std::condition_variable waiting_;
    Clock::time_point now_{};
    std::optional<Clock::time_point> deadline_;
    std::mutex* threadMutex_ = nullptr;
    std::condition_variable* wake_ = nullptr;
};

}  // namespace tavrelia::test
