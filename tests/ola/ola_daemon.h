#pragma once

// Test harness for the OLA backend: a private olad (its own config folder, RPC port,
// no web server, no service announcement, every plugin off but Art-Net on
// 127.0.0.1), a client that watches a universe through the OLA client API, and a UDP
// socket on 127.0.0.1 that receives the daemon's ArtDmx packets.

#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ola/Callback.h>
#include <ola/DmxBuffer.h>
#include <ola/client/OlaClient.h>
#include <ola/io/SelectServer.h>
#include <ola/network/IPV4Address.h>
#include <ola/network/SocketAddress.h>
#include <ola/network/TCPSocket.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace tavrelia::olatest {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A free TCP port on 127.0.0.1 (free when asked: good enough for a test).
inline uint16_t freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        throw std::runtime_error("no free port");
    ::close(fd);
    return ntohs(address.sin_port);
}

inline bool listening(uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

// Art-Net's output port 0 carries OLA universe `kUniverse`.
constexpr unsigned kUniverse = 1;

class OlaDaemon {
public:
    OlaDaemon() : port_(freePort())
    {
        char pattern[] = "/tmp/tavrelia-olad-XXXXXX";
        if (!mkdtemp(pattern))
            throw std::runtime_error("mkdtemp failed");
        root_ = pattern;
        ::chmod(root_.c_str(), 0755);   // the daemon's user must reach its folder
        config_ = root_ / "config";
        std::filesystem::create_directory(config_);
        writeConfig();
        if (::geteuid() == 0) {
            // olad refuses to run as root: it runs as the user the package made for it.
            const passwd* user = ::getpwnam("olad");
            if (!user)
                throw std::runtime_error("no user olad (is the ola package installed?)");
            uid_ = user->pw_uid;
            gid_ = user->pw_gid;
            for (const auto& entry : std::filesystem::directory_iterator(config_))
                ::chown(entry.path().c_str(), uid_, gid_);
            ::chown(config_.c_str(), uid_, gid_);
        }
    }
    ~OlaDaemon()
    {
        kill();
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    OlaDaemon(const OlaDaemon&) = delete;
    OlaDaemon& operator=(const OlaDaemon&) = delete;

    uint16_t port() const { return port_; }
    bool running() const { return pid_ > 0; }

    // Starts the daemon and waits until its RPC port answers.
    void start(std::chrono::milliseconds timeout = 10s)
    {
        if (running())
            return;
        const std::string log = (root_ / "olad.log").string();
        pid_ = ::fork();
        if (pid_ < 0)
            throw std::runtime_error("fork failed");
        if (pid_ == 0)
            runDaemon(log);
        const auto deadline = Clock::now() + timeout;
        while (!listening(port_)) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                throw std::runtime_error("olad ended at start:\n" + this->log());
            }
            if (Clock::now() > deadline)
                throw std::runtime_error("olad does not answer:\n" + this->log());
            std::this_thread::sleep_for(20ms);
        }
        checkOnlyArtNetOnLoopback();
    }

    // SIGKILL, as a crash would: nothing is saved or said goodbye.
    void kill() { end(SIGKILL); }

    std::string log() const
    {
        std::ifstream in(root_ / "olad.log");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    // Every plugin this daemon knows is switched off except Art-Net, which is bound to
    // the loopback interface and has output port 0 patched to the test universe. The
    // patch lives in the config, so a restarted daemon has it again.
    void writeConfig()
    {
        static constexpr const char* kOthers[] = {
            "dummy", "e131", "espnet", "ftdidmx", "gpio", "karate", "kinet",
            "milinst", "opendmx", "openpixelcontrol", "osc", "pathport", "renard",
            "sandnet", "shownet", "spi", "stageprofi", "uartdmx", "usbdmx", "usbserial",
        };
        for (const char* plugin : kOthers)
            write(std::string("ola-") + plugin + ".conf", "enabled = false\n");
        write("ola-artnet.conf",
              "enabled = true\nip = 127.0.0.1\nuse_loopback = true\nalways_broadcast = true\n"
              "output_ports = 1\nnet = 0\nsubnet = 0\n");
        write("ola-port.conf", "2-1-O-0 = " + std::to_string(kUniverse) + "\n");
    }

    void write(const std::string& name, const std::string& text)
    {
        std::ofstream(config_ / name) << text;
    }

    [[noreturn]] void runDaemon(const std::string& log)
    {
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(out, STDERR_FILENO);
        ::setpgid(0, 0);   // a test's terminal signals stay with the test
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(gid_) != 0 || ::setuid(uid_) != 0))
            ::_exit(126);
        ::chdir(config_.c_str());
        const std::string port = std::to_string(port_);
        ::execlp("olad", "olad", "--config-dir", config_.c_str(), "--rpc-port", port.c_str(),
                 "--no-http", "--no-register-with-dns-sd", "--log-level", "3",
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }

    // A plugin the config does not name would start with its defaults and might use
    // the network: refuse to go on with one.
    void checkOnlyArtNetOnLoopback()
    {
        const auto deadline = Clock::now() + 5s;
        while (log().find("Started ArtNet") == std::string::npos && Clock::now() < deadline)
            std::this_thread::sleep_for(20ms);
        std::istringstream lines(log());
        std::string line;
        bool artnet = false;
        while (std::getline(lines, line)) {
            const bool started = line.find(": Started ") != std::string::npos;
            if (started && line.find("Started ArtNet") == std::string::npos) {
                kill();
                throw std::runtime_error("olad started a plugin the test did not ask for: " + line);
            }
            if (line.find("Installed device: ArtNet [127.0.0.1]") != std::string::npos)
                artnet = true;
        }
        if (!artnet) {
            kill();
            throw std::runtime_error("olad's Art-Net is not on 127.0.0.1:\n" + log());
        }
    }

    void end(int signal)
    {
        if (pid_ <= 0)
            return;
        ::kill(pid_, signal);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }

    uint16_t port_;
    std::filesystem::path root_;
    std::filesystem::path config_;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
    pid_t pid_ = -1;
};

struct Frame {
    std::vector<uint8_t> levels;   // channel 1 first
    Clock::time_point at;
};

// Collects frames on a thread of its own; the test's thread waits on them.
class FrameLog {
public:
    void add(std::vector<uint8_t> levels)
    {
        std::lock_guard g(mutex_);
        frames_.push_back({std::move(levels), Clock::now()});
        changed_.notify_all();
    }
    std::vector<Frame> frames() const
    {
        std::lock_guard g(mutex_);
        return frames_;
    }
    void clear()
    {
        std::lock_guard g(mutex_);
        frames_.clear();
    }
    bool waitFor(const std::function<bool(const std::vector<Frame>&)>& done,
                 std::chrono::milliseconds timeout)
    {
        std::unique_lock g(mutex_);
        return changed_.wait_for(g, timeout, [&] { return done(frames_); });
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Frame> frames_;
};

// A client of the daemon that registers for one universe and keeps every frame the
// daemon hands it.
class UniverseObserver : public FrameLog {
public:
    UniverseObserver(uint16_t port, unsigned universe)
    {
        socket_.reset(ola::network::TCPSocket::Connect(ola::network::IPV4SocketAddress(
            ola::network::IPV4Address::Loopback(), port)));
        if (!socket_)
            throw std::runtime_error("cannot reach olad");
        client_ = std::make_unique<ola::client::OlaClient>(socket_.get());
        server_.AddReadDescriptor(socket_.get());
        client_->Setup();
        client_->SetDMXCallback(ola::NewCallback(this, &UniverseObserver::received));
        client_->RegisterUniverse(universe, ola::client::REGISTER,
                                  ola::NewSingleCallback(this, &UniverseObserver::registered));
        thread_ = std::thread([this] { server_.Run(); });
        std::unique_lock g(mutex_);
        if (!registeredChanged_.wait_for(g, 5s, [this] { return registered_; }))
            throw std::runtime_error("olad did not take the registration");
    }
    ~UniverseObserver()
    {
        server_.Terminate();
        thread_.join();
        client_->Stop();
        server_.RemoveReadDescriptor(socket_.get());
    }

private:
    void received(const ola::client::DMXMetadata&, const ola::DmxBuffer& data)
    {
        add({data.GetRaw(), data.GetRaw() + data.Size()});
    }
    void registered(const ola::client::Result&)
    {
        std::lock_guard g(mutex_);
        registered_ = true;
        registeredChanged_.notify_all();
    }

    ola::io::SelectServer server_;
    std::unique_ptr<ola::network::TCPSocket> socket_;
    std::unique_ptr<ola::client::OlaClient> client_;
    std::mutex mutex_;
    std::condition_variable registeredChanged_;
    bool registered_ = false;
    std::thread thread_;
};

// ArtDmx packets of one Art-Net universe as they arrive on 127.0.0.1:6454. Only
// packets from 127.0.0.1 count; any other sender is counted as a stranger.
class ArtNetReceiver : public FrameLog {
public:
    explicit ArtNetReceiver(uint16_t portAddress) : portAddress_(portAddress)
    {
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        const int on = 1;
        ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);   // beside olad's own
        ::setsockopt(fd_, SOL_SOCKET, SO_REUSEPORT, &on, sizeof on);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(6454);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            throw std::runtime_error("cannot bind 127.0.0.1:6454");
        thread_ = std::thread([this] { run(); });
    }
    ~ArtNetReceiver()
    {
        stop_ = true;
        thread_.join();
        ::close(fd_);
    }
    size_t strangers() const { return strangers_; }

private:
    void run()
    {
        uint8_t packet[1024];
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            sockaddr_in from{};
            socklen_t size = sizeof from;
            const ssize_t n = ::recvfrom(fd_, packet, sizeof packet, 0,
                                         reinterpret_cast<sockaddr*>(&from), &size);
            if (n < 18)
                continue;
            if (from.sin_addr.s_addr != htonl(INADDR_LOOPBACK)) {
                ++strangers_;
                continue;
            }
            // "Art-Net\0", opcode 0x5000 (little-endian), version, sequence, physical,
            // port address (little-endian), length (big-endian), data.
            const bool artDmx = std::equal(packet, packet + 8, "Art-Net") && packet[8] == 0x00 &&
                                packet[9] == 0x50;
            const uint16_t address = static_cast<uint16_t>(packet[14] | packet[15] << 8);
            const size_t length = static_cast<size_t>(packet[16] << 8 | packet[17]);
            if (artDmx && address == portAddress_ && 18 + length <= static_cast<size_t>(n))
                add({packet + 18, packet + 18 + length});
        }
    }

    uint16_t portAddress_;
    int fd_ = -1;
    std::atomic<bool> stop_{false};
    std::atomic<size_t> strangers_{0};
    std::thread thread_;
};

}  // namespace tavrelia::olatest
