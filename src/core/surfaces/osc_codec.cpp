#include "surfaces/osc_codec.h"

#include <lo/lo.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>

#include "control/named_controls.h"

namespace tavrelia {

namespace {

using MessagePtr = std::unique_ptr<std::remove_pointer_t<lo_message>, decltype(&lo_message_free)>;

OscCodec::Decoded refuse(OscCodec::Fault fault, const QString& reason)
{
    return {std::nullopt, OscCodec::Refusal{fault, reason}};
}

// One argument as apply takes it; a float spans the control's range.
struct Argument {
    QVariant value;
    bool number = false;
    bool isFloat = false;
    std::optional<OscCodec::Refusal> refusal;
};

Argument floatArgument(double number, const NamedControls::Info& info)
{
    if (!(number >= 0.0 && number <= 1.0))
        return {{}, true, true, OscCodec::Refusal{OscCodec::Fault::Refused, QStringLiteral("дробное число вне 0..1")}};
    const double level = info.min + number * (info.max - info.min);
    return {QVariant(static_cast<int>(std::lround(level))), true, true, std::nullopt};
}

Argument integerArgument(qint64 number)
{
    if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
        return {{}, true, false, OscCodec::Refusal{OscCodec::Fault::Refused, QStringLiteral("число вне диапазона")}};
    return {QVariant(static_cast<int>(number)), true, false, std::nullopt};
}

// liblo's arguments lie in the datagram at 4-byte steps: read them by copy, never
// through its union, which wants 8-byte alignment.
template <typename T>
T read(const void* arg)
{
    T value;
    std::memcpy(&value, arg, sizeof value);
    return value;
}

Argument argumentOf(char type, const void* arg, const NamedControls::Info& info)
{
    switch (type) {
    case LO_INT32:
        return integerArgument(read<int32_t>(arg));
    case LO_INT64:
        return integerArgument(read<int64_t>(arg));
    case LO_TRUE:
        return integerArgument(1);
    case LO_FALSE:
        return integerArgument(0);
    case LO_FLOAT:
        return floatArgument(read<float>(arg), info);
    case LO_DOUBLE:
        return floatArgument(read<double>(arg), info);
    case LO_STRING:
    case LO_SYMBOL:
        return {QString::fromUtf8(static_cast<const char*>(arg)), false, false, std::nullopt};
    default:
        return {{}, false, false,
                OscCodec::Refusal{OscCodec::Fault::Malformed,
                                  QStringLiteral("аргумент типа %1").arg(QLatin1Char(type))}};
    }
}

// A PIN sent as a number: its digits when it is whole (many layouts send 2468.0),
// otherwise text that no PIN matches.
QString pinOf(double number)
{
    if (number >= 0 && number < 1e9 && number == std::floor(number))
        return QString::number(static_cast<qint64>(number));
    return QString::number(number);
}

// The PIN's one argument, as text; its numbers' type tells the answers' too.
OscCodec::Decoded decodePin(lo_message message)
{
    const char* types = lo_message_get_types(message);
    lo_arg** argv = lo_message_get_argv(message);
    const bool one = lo_message_get_argc(message) == 1;
    OscCodec::Message pin{QLatin1String(OscCodec::kPin), {}, std::nullopt};
    switch (one ? types[0] : 0) {
    case LO_STRING:
        pin.value = QString::fromUtf8(reinterpret_cast<const char*>(argv[0]));
        break;
    case LO_INT32:
        pin = {pin.name, QString::number(read<int32_t>(argv[0])), false};
        break;
    case LO_FLOAT:
        pin = {pin.name, pinOf(read<float>(argv[0])), true};
        break;
    case LO_DOUBLE:
        pin = {pin.name, pinOf(read<double>(argv[0])), true};
        break;
    default:
        return refuse(OscCodec::Fault::Malformed, QStringLiteral("PIN — одна строка или число"));
    }
    return {pin, std::nullopt};
}

// A request for every state; a number's type says which numbers the answer takes.
OscCodec::Decoded decodeSync(lo_message message)
{
    const char* types = lo_message_get_types(message);
    const int count = lo_message_get_argc(message);
    OscCodec::Message sync{QLatin1String(OscCodec::kSync), {}, std::nullopt};
    if (count == 1 && (types[0] == LO_INT32 || types[0] == LO_FLOAT))
        sync.floats = types[0] == LO_FLOAT;
    else if (count != 0)
        return refuse(OscCodec::Fault::Malformed, QStringLiteral("sync — без аргумента или с одним числом"));
    return {sync, std::nullopt};
}

}  // namespace

OscCodec::Decoded OscCodec::decode(const char* data, size_t size)
{
    int result = 0;
    // liblo reads the datagram and copies what it keeps.
    const MessagePtr message(lo_message_deserialise(const_cast<char*>(data), size, &result), &lo_message_free);
    if (!message)
        return refuse(Fault::Malformed, QStringLiteral("не сообщение OSC (%1)").arg(result));
    // The address is the datagram's first string, which liblo has checked.
    const QString path = QString::fromUtf8(data, static_cast<qsizetype>(strnlen(data, size)));
    const QLatin1String prefix(kPrefix);
    const QStringView name = path.startsWith(prefix) ? QStringView(path).mid(prefix.size()) : QStringView();
    if (name == QLatin1String(kPin))
        return decodePin(message.get());
    if (name == QLatin1String(kSync))
        return decodeSync(message.get());
    const NamedControls::Info* info = NamedControls::find(name);
    if (!info) {
        // The sender chose the address: only its start goes into the reason.
        constexpr int kShown = 40;
        const QString shown = path.size() > kShown ? path.left(kShown) + QChar(0x2026) : path;
        return refuse(Fault::Unknown, QStringLiteral("неизвестный адрес %1").arg(shown));
    }

    const int count = lo_message_get_argc(message.get());
    if (count > 2)
        return refuse(Fault::Malformed, QStringLiteral("аргументов: %1").arg(count));
    const char* types = lo_message_get_types(message.get());
    lo_arg** argv = lo_message_get_argv(message.get());
    Message decoded{info->name, {}, std::nullopt};
    QVariantList values;
    for (int i = 0; i < count; ++i) {
        const Argument argument = argumentOf(types[i], argv[i], *info);
        if (argument.refusal)
            return refuse(argument.refusal->fault, info->name + QStringLiteral(": ") + argument.refusal->reason);
        if (argument.number)
            decoded.floats = decoded.floats.value_or(false) || argument.isFloat;
        values << argument.value;
    }
    if (count == 1)
        decoded.value = values.first();
    else if (count == 2)
        decoded.value = values;
    return {decoded, std::nullopt};
}

QByteArray OscCodec::encode(const QString& name, const QVariant& value, bool floats)
{
    const MessagePtr message(lo_message_new(), &lo_message_free);
    const NamedControls::Info* info = NamedControls::find(name);
    auto add = [&](const QVariant& item) {
        if (item.typeId() == QMetaType::QString) {
            lo_message_add_string(message.get(), item.toString().toUtf8().constData());
        } else if (floats && info && info->max > info->min) {
            lo_message_add_float(message.get(),
                                 static_cast<float>(item.toInt() - info->min) / static_cast<float>(info->max - info->min));
        } else {
            lo_message_add_int32(message.get(), item.toInt());
        }
    };
    if (value.typeId() == QMetaType::QVariantList) {
        for (const QVariant& item : value.toList())
            add(item);
    } else {
        add(value);
    }
    const QByteArray path = kPrefix + name.toUtf8();
    QByteArray bytes(static_cast<qsizetype>(lo_message_length(message.get(), path.constData())), '\0');
    size_t size = 0;
    lo_message_serialise(message.get(), path.constData(), bytes.data(), &size);
    bytes.truncate(static_cast<qsizetype>(size));
    return bytes;
}

}  // namespace tavrelia
