#include "surfaces/osc_settings.h"

#include <QSettings>

#include <arpa/inet.h>

#include <optional>

#include "output/interface_settings.h"

namespace tavrelia {

namespace {
const QString kEnabledKey = QStringLiteral("OSC/Enabled");
const QString kPortKey = QStringLiteral("OSC/Port");
const QString kAddressKey = QStringLiteral("OSC/Address");
const QString kFeedbackHostKey = QStringLiteral("OSC/FeedbackHost");
const QString kFeedbackPortKey = QStringLiteral("OSC/FeedbackPort");

// A port 1..65535, or nothing.
std::optional<uint16_t> portNamed(const QString& text)
{
    bool ok = false;
    const uint value = text.trimmed().toUInt(&ok);
    if (!ok || value < 1 || value > 65535)
        return std::nullopt;
    return static_cast<uint16_t>(value);
}

void report(QString* problems, const QString& key, const QString& value)
{
    if (problems)
        *problems += QStringLiteral("%1: bad value \"%2\" in %3\n").arg(key, value, InterfaceSettings::filePath());
}

// The text of key, or nothing when it is missing or blank.
std::optional<QString> textOf(const QSettings& file, const QString& key)
{
    const QString text = file.value(key).toString().trimmed();
    return text.isEmpty() ? std::nullopt : std::optional(text);
}

std::optional<uint16_t> portOf(const QSettings& file, const QString& key, QString* problems)
{
    const std::optional<QString> text = textOf(file, key);
    if (!text)
        return std::nullopt;
    const std::optional<uint16_t> port = portNamed(*text);
    if (!port)
        report(problems, key, *text);
    return port;
}

QString addressOf(const QSettings& file, const QString& key, QString* problems)
{
    const QString text = textOf(file, key).value_or(QString());
    if (text.isEmpty() || OscSettings::numericAddress(text))
        return text;
    report(problems, key, text);
    return {};
}
}  // namespace

bool OscSettings::numericAddress(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    if (bytes.size() != text.size())
        return false;
    unsigned char buffer[sizeof(in6_addr)];
    return inet_pton(AF_INET, bytes.constData(), buffer) == 1 ||
           inet_pton(AF_INET6, bytes.constData(), buffer) == 1;
}

OscSettings OscSettings::load(QString* problems)
{
    OscSettings result;
    const QSettings file(InterfaceSettings::filePath(), QSettings::IniFormat);
    if (const std::optional<QString> enabled = textOf(file, kEnabledKey)) {
        const QString word = enabled->toLower();
        if (word == QLatin1String("true") || word == QLatin1String("false"))
            result.enabled = word == QLatin1String("true");
        else
            report(problems, kEnabledKey, *enabled);
    }
    result.port = portOf(file, kPortKey, problems).value_or(kDefaultPort);
    result.address = addressOf(file, kAddressKey, problems);
    result.feedbackHost = addressOf(file, kFeedbackHostKey, problems);
    result.feedbackPort = portOf(file, kFeedbackPortKey, problems).value_or(0);
    return result;
}

bool OscSettings::save() const
{
    return InterfaceSettings::writeKeys({{kEnabledKey, enabled},
                                         {kPortKey, port},
                                         {kAddressKey, address},
                                         {kFeedbackHostKey, feedbackHost},
                                         {kFeedbackPortKey, feedbackPort == 0 ? QString() : QString::number(feedbackPort)}});
}

}  // namespace tavrelia
