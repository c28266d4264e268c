#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <chrono>

namespace tavrelia {

// Checks the PIN a remote sends. Every wrong try from an address makes that address
// wait before its next one, twice as long each time (1 s, 2 s, 4 s ... at most 30 s),
// so guessing takes days while the right PIN is never kept out for longer than
// 30 s. A try while the address waits is not looked at.
class PinGuard {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kFirstWait{1000};
    static constexpr std::chrono::milliseconds kLongestWait{30000};
    // Addresses remembered at most, and how long one is kept after its last try.
    static constexpr int kAddresses = 4096;
    static constexpr std::chrono::minutes kMemory{10};

    enum class Verdict { Accepted, Refused, Waiting };
    struct Answer {
        Verdict verdict;
        std::chrono::milliseconds wait{0};   // before this address may try again
    };

    static constexpr int kShortestPin = 4;
    static constexpr int kLongestPin = 8;
    // 4 to 8 digits.
    static bool valid(const QString& pin);

    Answer check(const QString& address, const QString& pin, const QString& rightPin,
                 Clock::time_point now);
    // A new PIN: every address starts afresh.
    void clear() { tries_.clear(); }
    int addresses() const { return static_cast<int>(tries_.size()); }

    // Compares every byte, so that the time taken says nothing of how much was right.
    static bool same(QByteArrayView a, QByteArrayView b);

private:
    struct Tries {
        int wrong = 0;
        Clock::time_point until;   // no try before this
    };
    void forgetOld(Clock::time_point now);

    QHash<QString, Tries> tries_;
};

}  // namespace tavrelia
