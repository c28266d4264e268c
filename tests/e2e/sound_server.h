#pragma once

// A PulseAudio server of the test's own with one null sink, "tav", whose monitor is the
// server's default source: a program recording ALSA's default device (the pulse
// plugin) with PULSE_SERVER pointed here hears what is played into the sink, in real
// time. Run as root it needs no system instance: -n (no configuration file) with the
// two modules named, and its home and runtime folder in the test's own.
//
// What is played is listened to on the monitor as well, by a recorder with a short
// latency whose reads are stamped on steady_clock: the moment the track's first sample
// was heard there is the time the track's beats are measured from.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tavrelia::wire {

class SoundServer {
public:
    using Clock = std::chrono::steady_clock;

    SoundServer(const QString& folder, int rate, int channels) : folder_(folder), rate_(rate), channels_(channels)
    {
        QDir().mkpath(folder_);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME"})
            env.insert(name, folder_);
        server_.setProcessEnvironment(env);
        server_.setStandardOutputFile(folder_ + "/server.log");
        server_.setStandardErrorFile(folder_ + "/server.log");
        server_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        server_.start("pulseaudio",
                      {"-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit", "--log-target=stderr",
                       "-L", QString("module-null-sink sink_name=tav rate=%1 channels=%2").arg(rate).arg(channels),
                       "-L", "module-native-protocol-unix auth-anonymous=1 socket=" + socket()});
        server_.waitForStarted(5000);
        for (int i = 0; i < 100 && !QFile::exists(socket()) && server_.state() == QProcess::Running; ++i)
            server_.waitForFinished(100);
    }

    ~SoundServer()
    {
        stopListening();
        player_.kill();
        player_.waitForFinished(3000);
        server_.kill();
        server_.waitForFinished(3000);
    }

    bool running() const { return server_.state() == QProcess::Running && QFile::exists(socket()); }
    QString socket() const { return folder_ + "/native"; }
    QString log() const
    {
        QFile file(folder_ + "/server.log");
        return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
    }
    // What a client needs in its environment to reach this server.
    QString address() const { return "unix:" + socket(); }

    // Plays the interleaved samples into the sink in real time, listening to the
    // monitor meanwhile; false when the player cannot start.
    bool play(const std::vector<float>& samples)
    {
        QByteArray raw;
        raw.resize(qsizetype(samples.size() * 2));
        auto* out = reinterpret_cast<int16_t*>(raw.data());
        for (size_t i = 0; i < samples.size(); ++i)
            out[i] = int16_t(std::lround(std::clamp(samples[i], -1.0f, 1.0f) * 32767));
        QFile file(folder_ + "/track.raw");
        if (!file.open(QIODevice::WriteOnly) || file.write(raw) != raw.size())
            return false;
        file.close();
        if (!listen())
            return false;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PULSE_SERVER", address());
        player_.setProcessEnvironment(env);
        player_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        player_.start("pacat", {"--device=tav", "--raw", "--format=s16le", QString("--rate=%1").arg(rate_),
                                QString("--channels=%1").arg(channels_), "--latency-msec=20", file.fileName()});
        return player_.waitForStarted(5000);
    }

    // Waits for the track to end, then a little for the recorder to hear its tail.
    bool waitPlayed(int ms)
    {
        const bool done = player_.waitForFinished(ms) && player_.exitCode() == 0;
        QThread::msleep(300);
        stopListening();
        return done;
    }

    // When the track's first sample reached the monitor: the earliest any read could
    // have held it.
    std::optional<Clock::time_point> heardFrom() const
    {
        std::lock_guard hold(mutex_);
        if (!first_)
            return std::nullopt;
        return Clock::time_point(std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(epoch_)));
    }

private:
    bool listen()
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return false;
        const std::string server = "PULSE_SERVER=" + address().toStdString();
        const std::string rate = "--rate=" + std::to_string(rate_), channels = "--channels=" + std::to_string(channels_);
        std::vector<const char*> argv{"parec", "--device=tav.monitor", "--raw", "--format=s16le", rate.c_str(),
                                      channels.c_str(), "--latency-msec=5", nullptr};
        std::vector<const char*> envp{server.c_str(), "PATH=/usr/bin:/bin", nullptr};
        recorder_ = ::fork();
        if (recorder_ == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            ::dup2(fds[1], 1);
            ::close(fds[0]);
            ::execve("/usr/bin/parec", const_cast<char* const*>(argv.data()), const_cast<char* const*>(envp.data()));
            ::_exit(127);
        }
        ::close(fds[1]);
        if (recorder_ < 0) {
            ::close(fds[0]);
            return false;
        }
        listener_ = std::thread([this, fd = fds[0]] { record(fd); });
        return true;
    }

    void record(int fd)
    {
        std::vector<int16_t> chunk(4096);
        uint64_t frames = 0;
        size_t carry = 0;   // bytes of a sample split between reads
        while (!stop_) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            const ssize_t got = ::read(fd, reinterpret_cast<char*>(chunk.data()) + carry, chunk.size() * 2 - carry);
            const double now = std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
            if (got <= 0)
                break;
            const size_t bytes = carry + size_t(got);
            const size_t whole = bytes / size_t(2 * channels_) * size_t(channels_);
            std::lock_guard hold(mutex_);
            for (size_t i = 0; i < whole && !first_; ++i) {
                if (chunk[i] != 0)
                    first_ = frames + i / size_t(channels_);
            }
            frames += whole / size_t(channels_);
            if (first_) {
                const double heard = now - double(frames - *first_) / rate_;
                epoch_ = epoch_ == 0 ? heard : std::min(epoch_, heard);
            }
            carry = bytes - whole * 2;
            std::memmove(chunk.data(), reinterpret_cast<char*>(chunk.data()) + whole * 2, carry);
        }
        ::close(fd);
    }

    void stopListening()
    {
        if (recorder_ > 0) {
            ::kill(recorder_, SIGKILL);
            ::waitpid(recorder_, nullptr, 0);
            recorder_ = -1;
        }
        stop_ = true;
        if (listener_.joinable())
            listener_.join();
    }

    QString folder_;
    int rate_;
    int channels_;
    QProcess server_;
    QProcess player_;
    pid_t recorder_ = -1;
    std::thread listener_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::optional<uint64_t> first_;
    double epoch_ = 0;
};

}  // namespace tavrelia::wire
