// A datagram of any content sent to the OSC server. It is either a message to a
// control or refused with a reason; a refused one, by the codec or by the control,
// changes no state at all; an accepted one leaves a state whose feedback reads back
// as a message to the same control.

#include <QCoreApplication>

#include "console.h"
#include "control/named_controls.h"
#include "fuzz_support.h"
#include "surfaces/osc_codec.h"

using namespace tavrelia;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const fuzz::Sandbox sandbox;
    static int argc = 1;
    static char name[] = "fuzz_osc_message";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static Console console;

    const OscCodec::Decoded decoded = OscCodec::decode(reinterpret_cast<const char*>(data), size);
    FUZZ_REQUIRE(decoded.message.has_value() != decoded.refusal.has_value());
    if (decoded.refusal) {
        FUZZ_REQUIRE(!decoded.refusal->reason.isEmpty());
        return 0;
    }
    const auto before = console.named.snapshot();
    const OscCodec::Message& message = *decoded.message;
    if (console.named.apply(message.name, message.value)) {
        FUZZ_REQUIRE(console.named.snapshot() == before);
        return 0;
    }
    for (const auto& [state, value] : console.named.snapshot()) {
        if (state != message.name)
            continue;
        for (const bool floats : {false, true}) {
            const QByteArray datagram = OscCodec::encode(state, value, floats);
            const OscCodec::Decoded back = OscCodec::decode(datagram.constData(), static_cast<size_t>(datagram.size()));
            FUZZ_REQUIRE(back.message && back.message->name == state);
        }
    }
    return 0;
}
