#include "remote/remote_message.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include "control/named_controls.h"

namespace tavrelia {

namespace {
constexpr qsizetype kLongestName = 64;

QByteArray compact(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// A value a control takes: a number, a word, true/false for 1/0, or a pair of numbers.
std::optional<QVariant> valueOf(const QJsonValue& json)
{
    switch (json.type()) {
    case QJsonValue::Double:
        return QVariant(json.toDouble());
    case QJsonValue::String:
        return QVariant(json.toString());
    case QJsonValue::Bool:
        return QVariant(json.toBool() ? 1 : 0);
    case QJsonValue::Array: {
        const QJsonArray pair = json.toArray();
        if (pair.size() != 2 || !pair[0].isDouble() || !pair[1].isDouble())
            return std::nullopt;
        return QVariant(QVariantList{pair[0].toDouble(), pair[1].toDouble()});
    }
    default:
        return std::nullopt;
    }
}
}  // namespace

RemoteMessage RemoteMessage::parse(QByteArrayView text)
{
    RemoteMessage message;
    auto fail = [&message](const QString& reason) {
        message.problem = reason;
        return message;
    };
    if (text.size() > kLongest)
        return fail(QStringLiteral("message longer than %1 bytes").arg(kLongest));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text.toByteArray(), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return fail(QStringLiteral("not JSON: ") + parseError.errorString());
    if (!document.isObject())
        return fail(QStringLiteral("not a JSON object"));
    const QJsonObject object = document.object();
    if (object.contains(QLatin1String("id"))) {
        const QJsonValue id = object.value(QLatin1String("id"));
        if (!id.isDouble() && !(id.isString() && id.toString().size() <= kLongestName))
            return fail(QStringLiteral("id must be a number or a short string"));
        message.id = id;
    }
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.key() != QLatin1String("control") && it.key() != QLatin1String("value") &&
            it.key() != QLatin1String("id"))
            return fail(QStringLiteral("unknown field: ") + it.key().left(kLongestName));
    }
    const QJsonValue control = object.value(QLatin1String("control"));
    if (!control.isString() || control.toString().isEmpty() || control.toString().size() > kLongestName)
        return fail(QStringLiteral("control must name a control"));
    message.control = control.toString();
    if (object.contains(QLatin1String("value"))) {
        const std::optional<QVariant> value = valueOf(object.value(QLatin1String("value")));
        if (!value)
            return fail(QStringLiteral("value must be a number, a word or a pair of numbers"));
        message.value = *value;
    }
    return message;
}

QByteArray RemoteMessage::answer(NamedControls& named, QByteArrayView text)
{
    const RemoteMessage message = parse(text);
    if (!message.problem.isEmpty())
        return error(message.problem, message.id);
    if (const std::optional<QString> refused = named.apply(message.control, message.value))
        return error(*refused, message.id);
    return message.id.isUndefined() ? QByteArray() : done(message.id);
}

QByteArray RemoteMessage::states(const QList<std::pair<QString, QVariant>>& values)
{
    QJsonObject states;
    for (const auto& [name, value] : values)
        states.insert(name, QJsonValue::fromVariant(value));
    return compact({{QStringLiteral("states"), states}});
}

QByteArray RemoteMessage::error(const QString& reason, const QJsonValue& id)
{
    QJsonObject object{{QStringLiteral("error"), reason}};
    if (!id.isUndefined())
        object.insert(QStringLiteral("id"), id);
    return compact(object);
}

QByteArray RemoteMessage::done(const QJsonValue& id)
{
    return compact({{QStringLiteral("ok"), id}});
}

QByteArray RemoteMessage::alive()
{
    return compact({{QStringLiteral("alive"), 1}});
}

}  // namespace tavrelia
