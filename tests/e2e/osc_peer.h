#pragma once

// The far end of OSC in tests: a UDP socket on 127.0.0.1 that sends messages built
// with liblo (or any bytes) to the program and decodes what comes back.

#include <lo/lo.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace tavrelia::wire {

class OscPeer {
public:
    // An argument as sent or received: int, float or string.
    using Value = std::variant<int, float, std::string>;
    struct Message {
        std::string path;
        std::vector<Value> args;
    };

    // On 127.0.0.1, or on another address of the loopback network (another host to
    // the program).
    explicit OscPeer(uint32_t host = INADDR_LOOPBACK)
    {
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in local = loopback(0);
        local.sin_addr.s_addr = htonl(host);
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0)
            throw std::runtime_error("cannot open a UDP socket on the loopback network");
        // Room for the whole state (a thousand datagrams) sent while the test does not
        // read, as a tablet reading on a thread of its own would take it.
        const int room = 4 << 20;
        if (::setsockopt(fd_, SOL_SOCKET, SO_RCVBUFFORCE, &room, sizeof room) != 0)
            ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &room, sizeof room);
    }
    ~OscPeer() { ::close(fd_); }
    OscPeer(const OscPeer&) = delete;
    OscPeer& operator=(const OscPeer&) = delete;

    uint16_t port() const
    {
        sockaddr_in address{};
        socklen_t length = sizeof address;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        return ntohs(address.sin_port);
    }

    // A port that was free a moment ago.
    static uint16_t freePort()
    {
        OscPeer probe;
        return probe.port();
    }

    void sendBytes(uint16_t to, const std::string& bytes) const
    {
        const sockaddr_in target = loopback(to);
        ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&target), sizeof target);
    }

    static std::string encode(const Message& message)
    {
        lo_message built = lo_message_new();
        for (const Value& value : message.args) {
            if (const int* i = std::get_if<int>(&value))
                lo_message_add_int32(built, *i);
            else if (const float* f = std::get_if<float>(&value))
                lo_message_add_float(built, *f);
            else
                lo_message_add_string(built, std::get<std::string>(value).c_str());
        }
        size_t size = 0;
        void* data = lo_message_serialise(built, message.path.c_str(), nullptr, &size);
        std::string bytes(static_cast<const char*>(data), size);
        free(data);
        lo_message_free(built);
        return bytes;
    }

    void send(uint16_t to, const Message& message) const { sendBytes(to, encode(message)); }

    // Every message that arrives within wait, after the first one has come (returns
    // early once it is quiet for quiet).
    std::vector<Message> receive(std::chrono::milliseconds wait,
                                 std::chrono::milliseconds quiet = std::chrono::milliseconds(300),
                                 const std::function<void()>& meanwhile = {})
    {
        std::vector<Message> messages;
        const auto deadline = std::chrono::steady_clock::now() + wait;
        auto lastHeard = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() < deadline) {
            if (meanwhile)
                meanwhile();
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 5) <= 0) {
                if (!messages.empty() && std::chrono::steady_clock::now() - lastHeard > quiet)
                    break;
                continue;
            }
            char buffer[65536];
            const ssize_t size = ::recv(fd_, buffer, sizeof buffer, 0);
            if (size <= 0)
                continue;
            lastHeard = std::chrono::steady_clock::now();
            messages.push_back(decode(buffer, static_cast<size_t>(size)));
        }
        return messages;
    }

    static Message decode(char* data, size_t size)
    {
        int result = 0;
        lo_message message = lo_message_deserialise(data, size, &result);
        if (!message)
            return {"(undecodable)", {}};
        Message decoded{std::string(data), {}};
        const char* types = lo_message_get_types(message);
        lo_arg** argv = lo_message_get_argv(message);
        // The arguments are 4-byte aligned: copied out, not read through liblo's union.
        for (int i = 0; i < lo_message_get_argc(message); ++i) {
            if (types[i] == LO_INT32)
                decoded.args.emplace_back(copied<int32_t>(argv[i]));
            else if (types[i] == LO_FLOAT)
                decoded.args.emplace_back(copied<float>(argv[i]));
            else if (types[i] == LO_STRING)
                decoded.args.emplace_back(std::string(reinterpret_cast<const char*>(argv[i])));
        }
        lo_message_free(message);
        return decoded;
    }

    // Whether messages hold one to path with the single argument value.
    static bool has(const std::vector<Message>& messages, const std::string& path, const Value& value)
    {
        for (const Message& message : messages) {
            if (message.path == path && message.args == std::vector<Value>{value})
                return true;
        }
        return false;
    }

private:
    template <typename T>
    static T copied(const void* arg)
    {
        T value;
        std::memcpy(&value, arg, sizeof value);
        return value;
    }

    static sockaddr_in loopback(uint16_t port)
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return address;
    }

    int fd_ = -1;
};

}  // namespace tavrelia::wire
