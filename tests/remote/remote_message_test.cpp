// The live channel's messages: read whole or refused whole, and applied to the
// console's controls only when every part of them is right.

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include "console.h"
#include "control/named_controls.h"
#include "remote/remote_message.h"

using tavrelia::Console;
using tavrelia::RemoteMessage;

namespace {

QJsonObject json(const QByteArray& text)
{
    return QJsonDocument::fromJson(text).object();
}

}  // namespace

TEST(RemoteMessage, RefusesWhatIsNotOneWholeMessage)
{
    struct Case {
        QByteArray text;
        const char* problem;   // the start of it
    };
    const Case cases[] = {
        {"", "not JSON"},
        {"fader/3=128", "not JSON"},
        {"{\"control\": \"play\"", "not JSON"},
        {"[\"play\"]", "not a JSON object"},
        {"42", "not JSON"},
        {"{}", "control must name a control"},
        {"{\"control\": 3}", "control must name a control"},
        {"{\"control\": \"\"}", "control must name a control"},
        {"{\"control\": \"" + QByteArray(65, 'a') + "\"}", "control must name a control"},
        {"{\"control\": \"play\", \"extra\": 1}", "unknown field: extra"},
        {"{\"control\": \"fader/3\", \"value\": null}", "value must be"},
        {"{\"control\": \"fader/3\", \"value\": {\"level\": 3}}", "value must be"},
        {"{\"control\": \"handscan/xy\", \"value\": [1, 2, 3]}", "value must be"},
        {"{\"control\": \"handscan/xy\", \"value\": [1, \"2\"]}", "value must be"},
        {"{\"control\": \"play\", \"id\": [1]}", "id must be"},
        {"{\"control\": \"play\", \"id\": \"" + QByteArray(65, 'i') + "\"}", "id must be"},
        {"{\"control\": \"play\", \"value\": \"" + QByteArray(4096, 'x') + "\"}", "message longer than 4096 bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.left(80).toStdString());
        EXPECT_TRUE(RemoteMessage::parse(c.text).problem.startsWith(QString::fromLatin1(c.problem)))
            << RemoteMessage::parse(c.text).problem.toStdString();
    }
}

TEST(RemoteMessage, ReadsEachKindOfValue)
{
    struct Case {
        QByteArray text;
        QVariant value;
    };
    const Case cases[] = {
        {R"({"control": "play"})", QVariant()},
        {R"({"control": "fader/3", "value": 128})", QVariant(128.0)},
        {R"({"control": "mode", "value": "vykl"})", QVariant(QStringLiteral("vykl"))},
        {R"({"control": "blackout", "value": true})", QVariant(1)},
        {R"({"control": "handscan/xy", "value": [10, 250]})", QVariant(QVariantList{10.0, 250.0})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const RemoteMessage message = RemoteMessage::parse(c.text);
        EXPECT_TRUE(message.problem.isEmpty()) << message.problem.toStdString();
        EXPECT_EQ(message.value, c.value);
    }
    // Exactly 4096 bytes is still a message.
    QByteArray padded = R"({"control": "play", "id": "x"})";
    padded.insert(padded.size() - 1, QByteArray(4096 - padded.size(), ' '));
    ASSERT_EQ(padded.size(), 4096);
    EXPECT_TRUE(RemoteMessage::parse(padded).problem.isEmpty());
}

TEST(RemoteMessage, AFaultyMessageIsAnsweredAndChangesNothing)
{
    Console console;
    const auto before = console.named.snapshot();
    const QByteArray faulty[] = {
        R"({"control": "fader/28", "value": 10, "id": 1})",
        R"({"control": "fader/3", "value": 256, "id": 2})",
        R"({"control": "fader/3", "value": -1, "id": 3})",
        R"({"control": "fader/3", "value": 1.5, "id": 4})",
        R"({"control": "mode", "value": "fast", "id": 5})",
        R"({"control": "scene", "value": 2, "id": 6})",
        R"({"control": "handscan/xy", "value": [10, 256], "id": 7})",
        R"({"control": "fader/3", "value": 100, "id": 8, "extra": 0})",
        R"({"control": "picture/17", "value": 1, "id": 9})",
    };
    int id = 0;
    for (const QByteArray& text : faulty) {
        SCOPED_TRACE(text.toStdString());
        const QJsonObject answer = json(RemoteMessage::answer(console.named, text));
        EXPECT_FALSE(answer.value(QStringLiteral("error")).toString().isEmpty());
        EXPECT_EQ(answer.value(QStringLiteral("id")).toInt(), ++id);
    }
    EXPECT_EQ(console.named.snapshot(), before);
}

TEST(RemoteMessage, ARightMessageActsAndIsAnsweredOnlyWhenItHasAnId)
{
    Console console;
    EXPECT_EQ(RemoteMessage::answer(console.named, R"({"control": "fader/3", "value": 128})"), QByteArray());
    EXPECT_EQ(console.live.fader(3), 128);
    EXPECT_EQ(json(RemoteMessage::answer(console.named, R"({"control": "blackout", "value": 1, "id": "b"})")),
              json(R"({"ok": "b"})"));
    EXPECT_TRUE(console.live.blackOut());
    RemoteMessage::answer(console.named, R"({"control": "handscan/xy", "value": [10, 250]})");
    EXPECT_EQ(console.live.handX(), 10);
    EXPECT_EQ(console.live.handY(), 250);
    RemoteMessage::answer(console.named, R"({"control": "mode", "value": "vykl"})");
    EXPECT_EQ(console.named.value(u"mode"), QVariant(QStringLiteral("vykl")));
}
