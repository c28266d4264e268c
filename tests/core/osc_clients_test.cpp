#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>

#include "surfaces/osc_clients.h"

using namespace tavrelia;
using namespace std::chrono_literals;

namespace {

sockaddr_in peer(int port, const char* host = "127.0.0.1")
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, host, &address.sin_addr);
    return address;
}

bool heard(OscClients& clients, const sockaddr_in& from, OscClients::Clock::time_point at,
           std::optional<bool> floats = std::nullopt)
{
    return clients.heard(reinterpret_cast<const sockaddr*>(&from), sizeof from, floats, at);
}

TEST(OscClients, ASenderIsNewAgainAfterTenQuietMinutes)
{
    const auto t0 = OscClients::Clock::time_point{} + 24h;
    struct Step {
        int port;
        std::chrono::seconds at;
        bool fresh;
        size_t listed;
    } steps[] = {
        {9000, 0s, true, 1},
        {9000, 1s, false, 1},
        {9001, 2s, true, 2},      // another port of the same host is another client
        {9000, 601s, false, 2},   // heard within ten minutes of its last message
        {9001, 603s, true, 2},    // quiet for 601 s: new again, snapshot again
        {9002, 1300s, true, 1},   // both others have gone quiet meanwhile
    };
    OscClients clients;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.at.count());
        EXPECT_EQ(heard(clients, peer(step.port), t0 + step.at), step.fresh);
        EXPECT_EQ(clients.clients().size(), step.listed);
    }
}

TEST(OscClients, AFullListMakesRoomByTheLongestQuiet)
{
    const auto t0 = OscClients::Clock::time_point{} + 24h;
    OscClients clients;
    for (size_t i = 0; i < OscClients::kMaxClients; ++i)
        heard(clients, peer(9000 + static_cast<int>(i)), t0 + std::chrono::seconds(i));
    heard(clients, peer(9000), t0 + 100s);   // the first is heard again: 9001 is now the quietest
    EXPECT_TRUE(heard(clients, peer(8000), t0 + 101s));
    EXPECT_EQ(clients.clients().size(), OscClients::kMaxClients);
    EXPECT_FALSE(heard(clients, peer(9000), t0 + 102s));
    EXPECT_TRUE(heard(clients, peer(9001), t0 + 103s));
}

TEST(OscClients, FeedbackFollowsTheNumbersASenderUses)
{
    const auto t0 = OscClients::Clock::time_point{} + 24h;
    OscClients clients;
    for (const auto& [floats, expected] : {std::pair{std::optional(true), true}, {std::nullopt, true}, {false, false}}) {
        heard(clients, peer(9000), t0, floats);   // no numbers (a word, a press): as before
        EXPECT_EQ(clients.clients().front().floats, expected);
    }
}

}  // namespace
