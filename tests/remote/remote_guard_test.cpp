// The PIN's guard, the flood gate and the settings of the remote, on a clock the test
// moves.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>

#include "remote/flood_gate.h"
#include "control/pin_guard.h"
#include "control/pin_owner.h"
#include "remote/remote_settings.h"
#include "settings/settings_store.h"

using namespace std::chrono_literals;
using tavrelia::FloodGate;
using tavrelia::PinGuard;
using tavrelia::RemoteSettings;
using Verdict = PinGuard::Verdict;

namespace {

const QString kPin = QStringLiteral("2468");
const QString kPhone = QStringLiteral("192.168.1.30");
const QString kOther = QStringLiteral("192.168.1.31");

struct Try {
    const char* address;
    const char* pin;
    std::chrono::milliseconds at;   // from the start
    Verdict verdict;
    std::chrono::milliseconds wait;
};

}  // namespace

TEST(PinGuard, EachWrongTryDoublesTheWaitOfItsAddressOnly)
{
    const Try tries[] = {
        {"192.168.1.30", "1111", 0ms, Verdict::Refused, 1000ms},
        // Too early: not even looked at, the right PIN neither.
        {"192.168.1.30", "2468", 500ms, Verdict::Waiting, 500ms},
        {"192.168.1.30", "1112", 1000ms, Verdict::Refused, 2000ms},
        {"192.168.1.30", "1113", 3000ms, Verdict::Refused, 4000ms},
        // Another phone is not held up by the first one's guesses.
        {"192.168.1.31", "2468", 3001ms, Verdict::Accepted, 0ms},
        {"192.168.1.30", "1114", 7000ms, Verdict::Refused, 8000ms},
        {"192.168.1.30", "2468", 14999ms, Verdict::Waiting, 1ms},
        {"192.168.1.30", "2468", 15000ms, Verdict::Accepted, 0ms},
        // Right once, the count starts afresh.
        {"192.168.1.30", "0000", 15001ms, Verdict::Refused, 1000ms},
        // A PIN with the right start, or longer, is wrong.
        {"192.168.1.30", "24680", 16001ms, Verdict::Refused, 2000ms},
        {"192.168.1.30", "246", 18001ms, Verdict::Refused, 4000ms},
        {"192.168.1.30", "", 22001ms, Verdict::Refused, 8000ms},
    };
    PinGuard guard;
    const auto start = PinGuard::Clock::now();
    for (const Try& t : tries) {
        SCOPED_TRACE(t.at.count());
        const PinGuard::Answer answer =
            guard.check(QString::fromLatin1(t.address), QString::fromLatin1(t.pin), kPin, start + t.at);
        EXPECT_EQ(answer.verdict, t.verdict);
        EXPECT_EQ(answer.wait, t.wait);
    }
}

TEST(PinGuard, TheRightPinIsNeverKeptOutForLongerThanThirtySeconds)
{
    PinGuard guard;
    auto now = PinGuard::Clock::now();
    std::chrono::milliseconds longest{0};
    for (int guess = 0; guess < 40; ++guess) {
        const PinGuard::Answer answer = guard.check(kPhone, QString::number(1000 + guess), kPin, now);
        ASSERT_EQ(answer.verdict, Verdict::Refused);
        longest = std::max(longest, answer.wait);
        now += answer.wait;
    }
    EXPECT_EQ(longest, PinGuard::kLongestWait);
    EXPECT_EQ(guard.check(kPhone, kPin, kPin, now).verdict, Verdict::Accepted);
}

TEST(PinGuard, ANewPinAndTimeForgetTheWrongTries)
{
    PinGuard guard;
    const auto now = PinGuard::Clock::now();
    guard.check(kPhone, QStringLiteral("1"), kPin, now);
    guard.clear();
    EXPECT_EQ(guard.check(kPhone, kPin, kPin, now).verdict, Verdict::Accepted);

    // Addresses sprayed at the guard: it remembers a bounded number.
    for (int i = 0; i < PinGuard::kAddresses + 100; ++i)
        guard.check(QStringLiteral("10.0.%1.%2").arg(i / 256).arg(i % 256), QStringLiteral("1"), kPin, now);
    EXPECT_LE(guard.addresses(), PinGuard::kAddresses);
    // Long after, the next wrong try of one of them costs the first wait again.
    const auto later = now + PinGuard::kMemory + 1min;
    EXPECT_EQ(guard.check(QStringLiteral("10.0.0.1"), QStringLiteral("1"), kPin, later).wait, PinGuard::kFirstWait);
    EXPECT_LE(guard.addresses(), 1);
}

TEST(FloodGate, PassesABurstThenTheRate)
{
    const auto start = FloodGate::Clock::now();
    FloodGate gate(10, 100, start);
    int passed = 0;
    for (int i = 0; i < 50; ++i)
        passed += gate.admit(start) ? 1 : 0;
    EXPECT_EQ(passed, 10);
    // 100 a second: one every 10 ms.
    EXPECT_TRUE(gate.admit(start + 10ms));
    EXPECT_FALSE(gate.admit(start + 10ms));
    // A long pause fills the bucket, never beyond the burst.
    passed = 0;
    for (int i = 0; i < 50; ++i)
        passed += gate.admit(start + 10s) ? 1 : 0;
    EXPECT_EQ(passed, 10);
    // Sixty a second, as a dragging page sends, always passes.
    FloodGate page(240, 120, start);
    for (int i = 0; i < 600; ++i)
        ASSERT_TRUE(page.admit(start + i * 16ms)) << i;
}

TEST(RemoteSettings, ReadFromTavreliaConfWithTheirDefaultsAndChecked)
{
    struct Case {
        const char* text;
        bool enabled;
        int port;
        const char* problem;   // the start of the first, or "" for none
    };
    const Case cases[] = {
        {"", false, 8420, "no PIN set"},
        {"[Remote]\nEnabled=true\nPin=1234\n", true, 8420, ""},
        {"[Remote]\nEnabled=1\nPort=9000\nPin=12345678\nAddress=127.0.0.1\n", true, 9000, ""},
        {"[Remote]\nEnabled=yes\nPin=1234\n", true, 8420, ""},
        {"[Remote]\nPort=0\nPin=1234\n", false, 8420, "[Remote] Port=0: not a port"},
        {"[Remote]\nPort=70000\nPin=123456789\n", false, 8420, "[Remote] Port=70000"},
        {"[Remote]\nPin=12a4\n", false, 8420, "the PIN must be 4 to 8 digits"},
        {"[Remote]\nPin=1234\nAddress=phone.local\n", false, 8420, "[Remote] Address=phone.local: not an IP"},
        {"[Remote]\nEnabled=yes please\nPin=1234\n", false, 8420, "[Remote] Enabled=yes please: not a switch"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        QFile file(tavrelia::SettingsStore::filePath());
        ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.text);
        file.close();
        tavrelia::SettingsStore store;
        QStringList problems;
        const RemoteSettings settings = store.read<RemoteSettings>(&problems);
        if (const auto pin = tavrelia::PinOwner(store).problem())
            problems.append(*pin);
        EXPECT_EQ(settings.enabled, c.enabled);
        EXPECT_EQ(settings.port, c.port);
        const QString problem = problems.value(0);
        EXPECT_EQ(problem.isEmpty(), *c.problem == '\0') << problem.toStdString();
        EXPECT_EQ(problem.left(int(std::strlen(c.problem))), QString::fromUtf8(c.problem));
    }
}

TEST(RemoteSettings, SavedAsReadAndTheSessionFollowsThePin)
{
    tavrelia::SettingsStore store;
    RemoteSettings settings;
    settings.enabled = true;
    settings.port = 8500;
    settings.address = QStringLiteral("127.0.0.1");
    settings.makeSessionKey();
    ASSERT_EQ(settings.sessionKey.size(), 32);
    ASSERT_TRUE(settings.save(store));
    EXPECT_EQ(store.read<RemoteSettings>(), settings);
    EXPECT_EQ(settings.listenAddress(), QHostAddress(QHostAddress::LocalHost));

    // The same key and PIN sign the same session after a restart; another PIN does not.
    const QByteArray token = settings.sessionToken(QStringLiteral("97531"));
    EXPECT_EQ(store.read<RemoteSettings>().sessionToken(QStringLiteral("97531")), token);
    EXPECT_NE(settings.sessionToken(QStringLiteral("97532")), token);
    // A key is made once: a second call keeps it.
    const QByteArray key = settings.sessionKey;
    settings.makeSessionKey();
    EXPECT_EQ(settings.sessionKey, key);
}
