#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace tavrelia {

// Runs a tick every 50 ms on a thread of its own, on absolute deadlines so that a late
// tick does not push the following ones back. Stopping wakes the thread at once; so
// does a change of the output between ticks, which it sends at once when sending on
// change is on (the ticks keep their deadlines).
class OutputThread {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kPeriod{50};
    // Receives the deadline the tick was due at.
    using Tick = std::function<void(Clock::time_point deadline)>;
    using Change = std::function<void()>;

    // Where the thread reads the time and waits for its next deadline: the steady
    // clock in the program, a clock that a test moves by hand in a test.
    class Timer {
    public:
        virtual ~Timer() = default;
        virtual Clock::time_point now() = 0;
        // Waits on wake, with lock held on entry and on return, until the deadline
        // has come or woken is set (under lock); returns woken.
        virtual bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                               Clock::time_point deadline, const bool& woken) = 0;
    };
    // The steady clock.
    static Timer& steadyTimer();

    explicit OutputThread(Timer& timer = steadyTimer()) : timer_(timer) {}
    ~OutputThread();
    OutputThread(const OutputThread&) = delete;
    OutputThread& operator=(const OutputThread&) = delete;

    // The first tick comes one period after start. Starting a running thread does nothing.
    // realTime false leaves the thread at normal priority (to compare).
    // change, when given, runs on the thread for each poke between ticks.
    void start(Tick tick, bool realTime = true, Change change = {});
    // Returns once the thread has ended; a tick in progress is finished first.
    void stop();
    // Any thread: the output changed between ticks; the thread runs the change at
    // once. Nothing while sending on change is off. Never waits for a tick.
    void poke();
    void setSendOnChange(bool on) { sendOnChange_ = on; }
    bool sendOnChange() const { return sendOnChange_.load(); }
    bool running() const { return thread_.joinable(); }
    // Whether the running thread got real-time scheduling (it asks for it, and runs on
    // at normal priority when the system refuses).
    bool realTime() const { return realTime_.load(); }
    // Real-time scheduling for the calling thread, where the system grants it.
    static bool raiseToRealTime();

private:
    void run();
    void raisePriority();

    Timer& timer_;
    Tick tick_;
    Change change_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopRequested_ = false;
    bool woken_ = false;   // by stop or a poke
    std::atomic<bool> sendOnChange_{true};
    bool wantRealTime_ = true;
    std::atomic<bool> realTime_{false};
};

}  // namespace tavrelia
