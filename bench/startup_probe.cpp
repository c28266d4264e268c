// What opening the window costs, measured from outside: starts the real program on a
// virtual display of its own, each run with an empty home (no interface: demo state),
// and reports the time from exec to the first top-level window being mapped, and the
// resident memory once the program has settled.
//   startup_probe [runs] [settle-seconds] [binary]
// The load average is printed before and after: on a shared machine the times follow it.
// An X client of its own listens for the root window's MapNotify, so the time includes
// everything the user waits for: loading, building the window and mapping it.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// Xvfb on a free display number, which it writes to a pipe once it takes clients.
class VirtualDisplay {
public:
    VirtualDisplay()
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fds[0]);
            const int devNull = ::open("/dev/null", O_WRONLY);
            ::dup2(devNull, STDOUT_FILENO);
            ::dup2(devNull, STDERR_FILENO);
            const std::string fd = std::to_string(fds[1]);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x800x24",
                     "-nolisten", "tcp", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        char number[16] = {};
        ssize_t got = 0;
        while (got < 15) {
            const ssize_t n = ::read(fds[0], number + got, size_t(15 - got));
            if (n <= 0 || std::memchr(number, '\n', size_t(got + n)))
                break;
            got += n;
        }
        ::close(fds[0]);
        if (number[0] >= '0' && number[0] <= '9')
            name_ = ':' + std::string(number, std::strcspn(number, "\n"));
    }
    ~VirtualDisplay()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& name() const { return name_; }

private:
    pid_t pid_ = -1;
    std::string name_;
};

// A fresh home for one run, with the folders the program's settings live in.
class FreshHome {
public:
    FreshHome()
    {
        std::string pattern = (fs::temp_directory_path() / "tavrelia-startup-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            path_ = pattern;
        fs::create_directories(path_ / "run");
        fs::permissions(path_ / "run", fs::perms::owner_all);
    }
    ~FreshHome()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

struct Run {
    double mapSeconds = -1;
    long rssKb = -1;
};

long residentKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    }
    return -1;
}

pid_t startProgram(const std::string& binary, const std::string& display, const fs::path& home)
{
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (home / "run").c_str(), 1);
    ::setenv("DISPLAY", display.c_str(), 1);
    ::unsetenv("QT_QPA_PLATFORM");
    ::unsetenv("WAYLAND_DISPLAY");
    const int devNull = ::open("/dev/null", O_RDWR);
    ::dup2(devNull, STDIN_FILENO);
    ::dup2(devNull, STDOUT_FILENO);
    ::dup2(devNull, STDERR_FILENO);
    ::execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
}

void stopProgram(pid_t pid)
{
    ::kill(pid, SIGKILL);   // no close sequence: its questions would wait for ever
    ::waitpid(pid, nullptr, 0);
}

// The first window mapped as a top level (not a menu or tooltip), within the time-out.
std::optional<Clock::time_point> awaitFirstMap(xcb_connection_t* x, Clock::time_point deadline)
{
    const int fd = xcb_get_file_descriptor(x);
    while (Clock::now() < deadline) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
            const Clock::time_point at = Clock::now();
            std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event, &std::free);
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY
                && !reinterpret_cast<xcb_map_notify_event_t*>(event)->override_redirect)
                return at;
        }
        if (xcb_connection_has_error(x))
            return std::nullopt;
        pollfd ready{fd, POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        ::poll(&ready, 1, int(std::max<long>(1, left.count())));
    }
    return std::nullopt;
}

Run measureOnce(xcb_connection_t* x, const std::string& binary, const std::string& display,
                double settleSeconds)
{
    FreshHome home;
    Run run;
    const Clock::time_point started = Clock::now();
    const pid_t pid = startProgram(binary, display, home.path());
    if (const auto mapped = awaitFirstMap(x, started + std::chrono::seconds(20)))
        run.mapSeconds = std::chrono::duration<double>(*mapped - started).count();
    std::this_thread::sleep_until(started + std::chrono::duration<double>(settleSeconds));
    run.rssKb = residentKb(pid);
    stopProgram(pid);
    // Let the server forget the windows before the next run listens again.
    std::free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));
    while (xcb_generic_event_t* stale = xcb_poll_for_event(x))
        std::free(stale);
    return run;
}

std::string loadAverage()
{
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + ' ' + five + ' ' + fifteen;
}

void report(const char* what, std::vector<double> values, const char* unit)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    std::printf("%-28s median %8.3f %s   range %8.3f .. %8.3f %s\n", what, median, unit,
                values.front(), values.back(), unit);
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const double settle = argc > 2 ? std::max(1.0, std::atof(argv[2])) : 5.0;
    const std::string binary = argc > 3 ? argv[3] : TAVRELIA_BINARY;
    if (::access(binary.c_str(), X_OK) != 0) {
        std::fprintf(stderr, "startup_probe: no program at %s\n", binary.c_str());
        return 2;
    }
    VirtualDisplay display;
    xcb_connection_t* x = display.name().empty() ? nullptr
                                                 : xcb_connect(display.name().c_str(), nullptr);
    if (!x || xcb_connection_has_error(x)) {
        std::fprintf(stderr, "startup_probe: no virtual display (is Xvfb installed?)\n");
        return 2;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);

    std::printf("load average before: %s\n", loadAverage().c_str());
    std::vector<double> mapMs;
    std::vector<double> rssMb;
    for (int i = 0; i < runs; ++i) {
        const Run run = measureOnce(x, binary, display.name(), settle);
        if (run.mapSeconds < 0 || run.rssKb < 0) {
            std::fprintf(stderr, "startup_probe: run %d: no window, or the program ended\n", i + 1);
            return 1;
        }
        std::printf("run %2d: window mapped after %6.1f ms, resident %6.1f MB after %.0f s\n",
                    i + 1, run.mapSeconds * 1e3, run.rssKb / 1024.0, settle);
        std::fflush(stdout);
        mapMs.push_back(run.mapSeconds * 1e3);
        rssMb.push_back(run.rssKb / 1024.0);
    }
    std::printf("load average after:  %s\n", loadAverage().c_str());
    report("exec to first window mapped", mapMs, "ms");
    report("resident memory (VmRSS)", rssMb, "MB");
    xcb_disconnect(x);
    return 0;
}
