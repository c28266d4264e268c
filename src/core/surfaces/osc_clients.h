#pragma once

#include <sys/socket.h>

#include <chrono>
#include <optional>
#include <vector>

namespace tavrelia {

// Who has sent OSC lately: each sender heard within the last ten minutes gets the
// feedback. The list is bounded; when it is full the longest quiet sender makes room.
class OscClients {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::minutes kQuietLimit{10};
    static constexpr size_t kMaxClients = 16;

    struct Client {
        sockaddr_storage address{};
        socklen_t length = 0;
        Clock::time_point heard;
        bool floats = false;   // its numbers come as 0..1 floats: so does its feedback
    };

    // A message from address at now; floats when it carried numbers (whether they
    // were floats). True when the sender is new: not heard within the limit.
    bool heard(const sockaddr* address, socklen_t length, std::optional<bool> floats, Clock::time_point now);
    // The client at address, or none.
    const Client* find(const sockaddr* address, socklen_t length) const;
    // Forgets those quiet for longer than the limit.
    void forgetQuiet(Clock::time_point now);
    const std::vector<Client>& clients() const { return clients_; }
    void clear() { clients_.clear(); }

private:
    std::vector<Client> clients_;
};

}  // namespace tavrelia
