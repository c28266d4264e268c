#pragma once

// Both (all) cores saturated: one process per core that never sleeps, for as long as
// the hog lives. Made before any thread of the probe starts, so the children are
// plain copies of a single-threaded process.

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

namespace tavrelia::probe {

class CpuHog {
public:
    CpuHog()
    {
        const long cores = sysconf(_SC_NPROCESSORS_ONLN);
        for (long i = 0; i < cores; ++i) {
            const pid_t pid = fork();
            if (pid == 0) {
                prctl(PR_SET_PDEATHSIG, SIGKILL);
                volatile uint64_t spin = 0;
                for (;;)
                    spin = spin + 1;
            }
            if (pid > 0)
                pids_.push_back(pid);
        }
    }
    ~CpuHog()
    {
        for (pid_t pid : pids_) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    CpuHog(const CpuHog&) = delete;
    CpuHog& operator=(const CpuHog&) = delete;

    size_t processes() const { return pids_.size(); }

private:
    std::vector<pid_t> pids_;
};

}  // namespace tavrelia::probe
