#include "surfaces/osc_clients.h"

#include <netinet/in.h>

#include <algorithm>
#include <cstring>

namespace tavrelia {

namespace {

bool sameAddress(const sockaddr* a, socklen_t aLength, const sockaddr* b, socklen_t bLength)
{
    if (aLength != bLength || a->sa_family != b->sa_family)
        return false;
    if (a->sa_family == AF_INET) {
        const auto* x = reinterpret_cast<const sockaddr_in*>(a);
        const auto* y = reinterpret_cast<const sockaddr_in*>(b);
        return x->sin_port == y->sin_port && x->sin_addr.s_addr == y->sin_addr.s_addr;
    }
    if (a->sa_family == AF_INET6) {
        const auto* x = reinterpret_cast<const sockaddr_in6*>(a);
        const auto* y = reinterpret_cast<const sockaddr_in6*>(b);
        return x->sin6_port == y->sin6_port && x->sin6_scope_id == y->sin6_scope_id &&
               std::memcmp(&x->sin6_addr, &y->sin6_addr, sizeof x->sin6_addr) == 0;
    }
    return std::memcmp(a, b, aLength) == 0;
}

}  // namespace

const OscClients::Client* OscClients::find(const sockaddr* address, socklen_t length) const
{
    const auto known = std::find_if(clients_.begin(), clients_.end(), [&](const Client& client) {
        return sameAddress(reinterpret_cast<const sockaddr*>(&client.address), client.length, address, length);
    });
    return known == clients_.end() ? nullptr : &*known;
}

void OscClients::forgetQuiet(Clock::time_point now)
{
    std::erase_if(clients_, [now](const Client& client) { return now - client.heard > kQuietLimit; });
}

bool OscClients::heard(const sockaddr* address, socklen_t length, std::optional<bool> floats,
                       Clock::time_point now)
{
    forgetQuiet(now);
    length = std::min<socklen_t>(length, sizeof(sockaddr_storage));
    const Client* found = find(address, length);
    auto known = clients_.begin() + (found ? found - clients_.data() : clients_.size());
    const bool fresh = !found;
    if (fresh) {
        if (clients_.size() == kMaxClients) {
            known = std::min_element(clients_.begin(), clients_.end(),
                                     [](const Client& a, const Client& b) { return a.heard < b.heard; });
        } else {
            known = clients_.emplace(clients_.end());
        }
        *known = Client{};
        std::memcpy(&known->address, address, length);
        known->length = length;
    }
    known->heard = now;
    if (floats)
        known->floats = *floats;
    return fresh;
}

}  // namespace tavrelia
