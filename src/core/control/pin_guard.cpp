#include "control/pin_guard.h"

#include <algorithm>
#include <iterator>

namespace tavrelia {

bool PinGuard::valid(const QString& pin)
{
    if (pin.size() < kShortestPin || pin.size() > kLongestPin)
        return false;
    return std::all_of(pin.begin(), pin.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

using std::chrono::duration_cast;
using std::chrono::milliseconds;

PinGuard::Answer PinGuard::check(const QString& address, const QString& pin, const QString& rightPin,
                                 Clock::time_point now)
{
    const auto known = tries_.find(address);
    if (known != tries_.end() && now < known->until)
        return {Verdict::Waiting, duration_cast<milliseconds>(known->until - now)};
    if (same(pin.toUtf8(), rightPin.toUtf8())) {
        tries_.remove(address);
        return {Verdict::Accepted};
    }
    forgetOld(now);
    Tries& tries = tries_[address];
    const int doublings = std::min(tries.wrong++, 15);
    const milliseconds wait = std::min(kFirstWait * (1 << doublings), kLongestWait);
    tries.until = now + wait;
    return {Verdict::Refused, wait};
}

bool PinGuard::same(QByteArrayView a, QByteArrayView b)
{
    const qsizetype length = std::max(a.size(), b.size());
    unsigned differ = a.size() != b.size() ? 1 : 0;
    for (qsizetype i = 0; i < length; ++i) {
        const unsigned x = i < a.size() ? static_cast<unsigned char>(a[i]) : 0;
        const unsigned y = i < b.size() ? static_cast<unsigned char>(b[i]) : 0;
        differ |= x ^ y;
    }
    return differ == 0;
}

void PinGuard::forgetOld(Clock::time_point now)
{
    for (auto it = tries_.begin(); it != tries_.end();)
        it = it->until + kMemory < now ? tries_.erase(it) : std::next(it);
    // Flooded with addresses: the oldest go, so memory stays bounded.
    while (tries_.size() >= kAddresses) {
        auto oldest = std::min_element(tries_.begin(), tries_.end(),
                                       [](const Tries& a, const Tries& b) { return a.until < b.until; });
        tries_.erase(oldest);
    }
}

}  // namespace tavrelia
