// Any bytes as a message on the phone remote's live channel. The answer is nothing
// (applied, no id asked for) or one JSON object saying ok or why not; a refused
// message leaves every state as it was; only a control that can be set is applied.

#include <QJsonDocument>
#include <QJsonObject>

#include "console.h"
#include "control/named_controls.h"
#include "fuzz_support.h"
#include "remote/remote_message.h"

using namespace tavrelia;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::Sandbox sandbox;
    static Console console;
    const QByteArray text = fuzz::bytesOf(data, size);
    const auto before = console.named.snapshot();
    const QByteArray answer = RemoteMessage::answer(console.named, text);
    const RemoteMessage message = RemoteMessage::parse(text);
    if (answer.isEmpty()) {
        FUZZ_REQUIRE(message.problem.isEmpty() && message.id.isUndefined());
    } else {
        const QJsonObject reply = QJsonDocument::fromJson(answer).object();
        FUZZ_REQUIRE(reply.contains(QStringLiteral("ok")) != reply.contains(QStringLiteral("error")));
        if (reply.contains(QStringLiteral("error"))) {
            FUZZ_REQUIRE(console.named.snapshot() == before);
            return 0;
        }
    }
    const NamedControls::Info* info = NamedControls::find(message.control);
    FUZZ_REQUIRE(info && info->writable);
    return 0;
}
