#pragma once

#include <mutex>

namespace tavrelia {

// The console's one lock. The output tick and the user-interface thread share the
// show, the play state, the control state and the output slots only under it. It is
// recursive so that an operation made of other operations (New runs the clear, the
// clear runs the tempo update...) can lock at every level.
//
// A function that must run with the lock held takes the Guard as a parameter, so
// the caller can only reach it with the lock taken.
class ConsoleLock {
public:
    using Mutex = std::recursive_mutex;
    using Guard = std::unique_lock<Mutex>;

    ConsoleLock() = default;
    ConsoleLock(const ConsoleLock&) = delete;
    ConsoleLock& operator=(const ConsoleLock&) = delete;

    [[nodiscard]] Guard hold() const { return Guard(mutex_); }
    Mutex& mutex() const { return mutex_; }

private:
    mutable Mutex mutex_;
};

}  // namespace tavrelia
