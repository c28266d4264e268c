#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <cstddef>
#include <optional>

namespace tavrelia {

// OSC datagrams to and from the named controls, encoded and decoded by liblo.
// Addresses are /tavrelia/ and a control's name. Numbers come as int (the control's
// own range: a fader 0..255) or as a float 0.0..1.0 across the control's range;
// T and F are 1 and 0, a word is a string, the hand-scan pair two numbers, and a
// button without an argument is a press. Two addresses are no control:
// /tavrelia/pin with the PIN as its one argument (a string, or a whole number as an
// int or a float for a PIN without a leading zero) lets its sender in, and
// /tavrelia/sync, without an argument or with one number whose type says which numbers
// to answer in, asks for every state.
class OscCodec {
public:
    static constexpr const char* kPrefix = "/tavrelia/";
    static constexpr const char* kPin = "pin";
    static constexpr const char* kSync = "sync";

    enum class Fault {
        Malformed,   // not an OSC message, or arguments of a type or count no control takes
        Unknown,     // an address that names no control
        Refused,     // the control takes no such value (out of range, read-only, wrong type)
    };

    struct Message {
        QString name;
        QVariant value;             // as NamedControls::apply takes it
        std::optional<bool> floats; // whether its numbers were floats; none without numbers
                                    // (the PIN's: none for a string)
    };
    struct Refusal {
        Fault fault;
        QString reason;
    };
    struct Decoded {
        std::optional<Message> message;
        std::optional<Refusal> refusal;   // exactly one of the two
    };

    // One datagram, checked whole: a message with the value the control's apply takes,
    // or why it is refused. The control's range and type are for apply to check; only
    // what the conversion itself needs is checked here.
    static Decoded decode(const char* data, size_t size);

    // A state as the datagram that carries it: int or string values; a pair as two
    // numbers. With floats a number goes as 0.0..1.0 across the control's range.
    static QByteArray encode(const QString& name, const QVariant& value, bool floats);
};

}  // namespace tavrelia
