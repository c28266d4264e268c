#include <gtest/gtest.h>

#include "console.h"
#include "control/named_controls.h"
#include "surfaces/osc_codec.h"

using namespace tavrelia;

namespace {

// What the feedback says is what a layout sends back when its control follows it:
// every state, sent back as it came, is taken without a change, in both forms of
// numbers.
TEST(OscCodec, FeedbackSentBackIsTakenAsItCame)
{
    Console console;
    // A tempo of its own, so that the period in force is the tempo's.
    ASSERT_EQ(console.named.apply(QStringLiteral("tempo"), 44), std::nullopt);
    const auto states = console.named.snapshot();
    for (const bool floats : {false, true}) {
        for (const auto& [name, value] : states) {
            SCOPED_TRACE(name.toStdString() + (floats ? " as float" : " as int"));
            const QByteArray datagram = OscCodec::encode(name, value, floats);
            const OscCodec::Decoded decoded = OscCodec::decode(datagram.constData(), static_cast<size_t>(datagram.size()));
            ASSERT_TRUE(decoded.message) << decoded.refusal->reason.toStdString();
            EXPECT_EQ(decoded.message->name, name);
            EXPECT_EQ(decoded.message->value, value);
            const NamedControls::Info* info = NamedControls::find(name);
            ASSERT_TRUE(info);
            // Buttons act on a press, and go plays from its scene, whatever the state.
            if (info->writable && info->kind != NamedControls::Kind::Press && name != QLatin1String("go")) {
                EXPECT_EQ(console.named.apply(name, decoded.message->value), std::nullopt);
            }
        }
    }
    EXPECT_EQ(console.named.snapshot(), states);
}

}  // namespace
