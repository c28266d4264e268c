#include "remote/remote_settings.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>

#include "settings/settings_store.h"

namespace tavrelia {

namespace {
const QString kEnabledKey = QStringLiteral("Enabled");
const QString kPortKey = QStringLiteral("Port");
const QString kAddressKey = QStringLiteral("Address");
const QString kSessionKeyKey = QStringLiteral("SessionKey");
constexpr int kSessionKeyBytes = 32;
}  // namespace

RemoteSettings RemoteSettings::read(SettingsStore::Group& group)
{
    RemoteSettings result;
    result.enabled = group.flag(kEnabledKey, false);
    result.port = group.port(kPortKey, kDefaultPort);
    result.address = group.address(kAddressKey);
    const QByteArray key = QByteArray::fromHex(group.text(kSessionKeyKey).toLatin1());
    if (key.size() == kSessionKeyBytes)
        result.sessionKey = key;
    return result;
}

bool RemoteSettings::save(SettingsStore& store) const
{
    QList<SettingsStore::Edit> edits = {{kEnabledKey, enabled ? QStringLiteral("true") : QStringLiteral("false")},
                                        {kPortKey, QString::number(port)},
                                        {kAddressKey, address}};
    if (!sessionKey.isEmpty())
        edits.append({kSessionKeyKey, QString::fromLatin1(sessionKey.toHex())});
    return store.write(kGroup, edits);
}

void RemoteSettings::makeSessionKey()
{
    if (!sessionKey.isEmpty())
        return;
    sessionKey.resize(kSessionKeyBytes);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(sessionKey.data()),
                                          kSessionKeyBytes / sizeof(quint32));
}

void RemoteSettings::keepSessionKey(SettingsStore& store)
{
    RemoteSettings settings = store.read<RemoteSettings>();
    if (!settings.sessionKey.isEmpty())
        return;
    settings.makeSessionKey();
    // Not written: the sessions then last until the program ends.
    store.write(kGroup, {{kSessionKeyKey, QString::fromLatin1(settings.sessionKey.toHex())}});
}

QByteArray RemoteSettings::sessionToken(const QString& pin) const
{
    return QMessageAuthenticationCode::hash(pin.toUtf8(), sessionKey, QCryptographicHash::Sha256)
        .toHex();
}

}  // namespace tavrelia
