#include "remote/remote_settings.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QSettings>

#include "control/pin_guard.h"
#include "output/interface_settings.h"

namespace tavrelia {

namespace {
const QString kEnabledKey = QStringLiteral("Remote/Enabled");
const QString kPortKey = QStringLiteral("Remote/Port");
const QString kAddressKey = QStringLiteral("Remote/Address");
const QString kSessionKeyKey = QStringLiteral("Remote/SessionKey");
constexpr int kSessionKeyBytes = 32;

bool isAnyAddress(const QString& address)
{
    return address.isEmpty() || address == QLatin1String("*") ||
           QHostAddress(address) == QHostAddress(QHostAddress::AnyIPv4) ||
           QHostAddress(address) == QHostAddress(QHostAddress::AnyIPv6);
}
}  // namespace

RemoteSettings RemoteSettings::load()
{
    RemoteSettings result;
    const QSettings file(InterfaceSettings::filePath(), QSettings::IniFormat);
    const QString enabled = file.value(kEnabledKey).toString().trimmed().toLower();
    result.enabled = enabled == QLatin1String("true") || enabled == QLatin1String("1");
    bool ok = false;
    const uint port = file.value(kPortKey).toString().trimmed().toUInt(&ok);
    if (ok && port >= 1 && port <= 65535)
        result.port = static_cast<uint16_t>(port);
    result.address = file.value(kAddressKey).toString().trimmed();
    result.pin = PinGuard::stored();
    const QByteArray key = QByteArray::fromHex(file.value(kSessionKeyKey).toString().toLatin1());
    if (key.size() == kSessionKeyBytes)
        result.sessionKey = key;
    return result;
}

bool RemoteSettings::save() const
{
    return InterfaceSettings::writeKeys(
        {{kEnabledKey, enabled},
         {kPortKey, port},
         {kAddressKey, address},
         {QLatin1String(PinGuard::kSettingsKey), pin},
         {kSessionKeyKey, sessionKey.isEmpty() ? QVariant() : QString::fromLatin1(sessionKey.toHex())}});
}

std::optional<QString> RemoteSettings::problem() const
{
    if (const std::optional<QString> problem = PinGuard::problem(pin))
        return problem;
    if (listenAddress().isNull())
        return QStringLiteral("\"%1\" is not an IP address (Address in [Remote] of %2)")
            .arg(address, InterfaceSettings::filePath());
    return std::nullopt;
}

QHostAddress RemoteSettings::listenAddress() const
{
    return isAnyAddress(address) ? QHostAddress(QHostAddress::Any) : QHostAddress(address);
}

void RemoteSettings::makeSessionKey()
{
    if (!sessionKey.isEmpty())
        return;
    sessionKey.resize(kSessionKeyBytes);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(sessionKey.data()),
                                          kSessionKeyBytes / sizeof(quint32));
    // Not written: the sessions then last until the program ends.
    save();
}

QByteArray RemoteSettings::sessionToken() const
{
    return QMessageAuthenticationCode::hash(pin.toUtf8(), sessionKey, QCryptographicHash::Sha256)
        .toHex();
}

}  // namespace tavrelia
