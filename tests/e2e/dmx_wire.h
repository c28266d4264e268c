#pragma once

// Test harness for the wire: a pseudo-terminal that plays the interface's serial
// device, a symlink path that can be re-pointed at a new terminal (a re-plugged
// interface), and a decoder of the packets that arrive on it.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace tavrelia::wire {

using Clock = std::chrono::steady_clock;

// One pseudo-terminal. The program opens the slave by path; the test reads the
// master. Closing the master hangs the slave up, as pulling the interface does.
class Pty {
public:
    Pty()
    {
        char name[256] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
            throw std::runtime_error("openpty failed");
        path_ = name;
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
        // A program the test starts must not inherit the terminal: its copy of the
        // master would keep the terminal alive after unplug().
        fcntl(master_, F_SETFD, FD_CLOEXEC);
        fcntl(slave_, F_SETFD, FD_CLOEXEC);
    }
    ~Pty() { unplug(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    const std::string& slavePath() const { return path_; }
    bool plugged() const { return master_ >= 0; }

    void unplug()
    {
        if (slave_ >= 0)
            ::close(slave_);
        if (master_ >= 0)
            ::close(master_);
        slave_ = master_ = -1;
    }

    // Whatever arrives within `wait` (returns early once something came and the line
    // has been quiet for a moment).
    std::vector<uint8_t> read(std::chrono::milliseconds wait)
    {
        std::vector<uint8_t> data;
        const auto deadline = Clock::now() + wait;
        while (master_ >= 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0)
                break;
            pollfd p{master_, POLLIN, 0};
            const int quiet = data.empty() ? static_cast<int>(left.count()) : 20;
            if (::poll(&p, 1, std::min(quiet, static_cast<int>(left.count()))) <= 0) {
                if (!data.empty())
                    break;
                continue;
            }
            if (!readAvailable(data))
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return data;
    }

    // Appends what can be read now; false when nothing could be read.
    bool readAvailable(std::vector<uint8_t>& data)
    {
        uint8_t buffer[4096];
        bool any = false;
        for (;;) {
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0)
                return any;   // EAGAIN, or EIO while no slave has the terminal open
            data.insert(data.end(), buffer, buffer + n);
            any = true;
        }
    }

    int master() const { return master_; }

private:
    int master_ = -1;
    int slave_ = -1;   // kept open so reads of the master never see a closed slave
    std::string path_;
};

// A device path the test controls: a symlink that points at a terminal.
class DevicePath {
public:
    explicit DevicePath(std::filesystem::path path) : path_(std::move(path)) {}
    ~DevicePath() { remove(); }
    const std::filesystem::path& path() const { return path_; }

    void pointAt(const Pty& pty)
    {
        // Replace atomically, so the program never sees the path missing in between.
        const auto temp = path_.string() + ".new";
        std::filesystem::remove(temp);
        std::filesystem::create_symlink(pty.slavePath(), temp);
        std::filesystem::rename(temp, path_);
    }
    void remove()
    {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }

private:
    std::filesystem::path path_;
};

struct Packet {
    std::vector<uint8_t> frame;   // unstuffed, start-code slot first
    size_t wireLength = 0;        // bytes on the wire, FF F0 .. FF FF
    Clock::time_point at;
};

// One slot's level in each packet, in order of arrival.
inline std::vector<int> slot(const std::vector<Packet>& packets, size_t index)
{
    std::vector<int> levels;
    for (const Packet& packet : packets)
        levels.push_back(packet.frame.at(index));
    return levels;
}

// Decodes FF F0, slots with FF sent as FF F7, FF F1 FF FF. Bytes outside a packet,
// or a packet broken by any other FF pair, count as garbage.
class PacketDecoder {
public:
    void feed(const uint8_t* data, size_t length, Clock::time_point at = Clock::now())
    {
        for (size_t i = 0; i < length; ++i)
            step(data[i], at);
    }
    void feed(const std::vector<uint8_t>& data) { feed(data.data(), data.size()); }

    std::vector<Packet> take() { return std::exchange(packets_, {}); }
    size_t garbage() const { return garbage_; }

private:
    enum class State { Idle, Start, Body, Escape, Tail1, Tail2 };

    void step(uint8_t b, Clock::time_point at)
    {
        switch (state_) {
        case State::Idle:
            if (b == 0xFF)
                state_ = State::Start;
            else
                ++garbage_;
            return;
        case State::Start:
            if (b == 0xF0) {
                current_ = {};
                current_.wireLength = 2;
                state_ = State::Body;
            } else {
                garbage_ += 2;
                state_ = b == 0xFF ? State::Start : State::Idle;
            }
            return;
        case State::Body:
            ++current_.wireLength;
            if (b == 0xFF)
                state_ = State::Escape;
            else
                current_.frame.push_back(b);
            return;
        case State::Escape:
            ++current_.wireLength;
            if (b == 0xF7) {
                current_.frame.push_back(0xFF);
                state_ = State::Body;
            } else if (b == 0xF1) {
                state_ = State::Tail1;
            } else {
                garbage_ += current_.wireLength;
                state_ = b == 0xFF ? State::Start : State::Idle;
            }
            return;
        case State::Tail1:
        case State::Tail2:
            ++current_.wireLength;
            if (b != 0xFF) {
                garbage_ += current_.wireLength;
                state_ = State::Idle;
                return;
            }
            if (state_ == State::Tail1) {
                state_ = State::Tail2;
                return;
            }
            current_.at = at;
            packets_.push_back(std::move(current_));
            state_ = State::Idle;
            return;
        }
    }

    State state_ = State::Idle;
    Packet current_;
    std::vector<Packet> packets_;
    size_t garbage_ = 0;
};

// Drains a terminal on a thread of its own (so the writer never blocks on a full
// buffer) and keeps the decoded packets with their arrival times.
class PacketReader {
public:
    explicit PacketReader(Pty& pty) : pty_(pty), thread_([this] { run(); }) {}
    ~PacketReader()
    {
        {
            std::lock_guard g(mutex_);
            stop_ = true;
        }
        thread_.join();
    }
    PacketReader(const PacketReader&) = delete;
    PacketReader& operator=(const PacketReader&) = delete;

    std::vector<Packet> packets() const
    {
        std::lock_guard g(mutex_);
        return packets_;
    }
    // The packets so far, no longer kept here (for long runs).
    std::vector<Packet> take()
    {
        std::lock_guard g(mutex_);
        return std::exchange(packets_, {});
    }
    size_t byteCount() const
    {
        std::lock_guard g(mutex_);
        return bytes_;
    }
    size_t garbage() const
    {
        std::lock_guard g(mutex_);
        return decoder_.garbage();
    }
    // Pulls the interface: the reading thread closes the terminal between two reads.
    void unplug()
    {
        std::unique_lock g(mutex_);
        unplugRequested_ = true;
        changed_.wait(g, [this] { return !unplugRequested_; });
    }
    void clear()
    {
        std::lock_guard g(mutex_);
        packets_.clear();
        bytes_ = 0;
    }
    // A device that stops taking data: nothing is read, so the terminal fills up.
    void pause(bool paused)
    {
        std::lock_guard g(mutex_);
        paused_ = paused;
    }
    // Waits until `done(packets)` holds; false on time-out.
    bool waitFor(const std::function<bool(const std::vector<Packet>&)>& done,
                 std::chrono::milliseconds timeout)
    {
        std::unique_lock g(mutex_);
        return changed_.wait_for(g, timeout, [&] { return done(packets_); });
    }

private:
    // Only this thread touches the terminal; the lock is never held while waiting for
    // it, so the test's thread can always look at the packets.
    void run()
    {
        std::vector<uint8_t> chunk;
        for (;;) {
            int fd = -1;
            {
                std::lock_guard g(mutex_);
                if (stop_)
                    return;
                if (unplugRequested_) {
                    pty_.unplug();
                    unplugRequested_ = false;
                    changed_.notify_all();
                }
                fd = paused_ ? -1 : pty_.master();
            }
            if (fd < 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                continue;
            }
            chunk.clear();
            pollfd p{fd, POLLIN, 0};
            const bool ready = ::poll(&p, 1, 10) > 0;
            if (ready)
                pty_.readAvailable(chunk);
            if (chunk.empty()) {
                if (ready)   // a hang-up with nothing to read: do not spin
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                continue;
            }
            std::lock_guard g(mutex_);
            bytes_ += chunk.size();
            decoder_.feed(chunk.data(), chunk.size());
            for (Packet& packet : decoder_.take())
                packets_.push_back(std::move(packet));
            changed_.notify_all();
        }
    }

    Pty& pty_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    PacketDecoder decoder_;
    std::vector<Packet> packets_;
    size_t bytes_ = 0;
    bool stop_ = false;
    bool unplugRequested_ = false;
    bool paused_ = false;
    std::thread thread_;
};

}  // namespace tavrelia::wire
