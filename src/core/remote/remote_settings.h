#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>

#include "settings/settings_store.h"
#include <optional>

namespace tavrelia {


// The phone remote's settings, group [Remote] of Tavrelia.conf (its PIN is the
// PinOwner's).
struct RemoteSettings {
    static constexpr uint16_t kDefaultPort = 8420;

    bool enabled = false;
    uint16_t port = kDefaultPort;
    QString address;   // empty: every interface
    // Signs the session cookie with the PIN; made once, so that a phone stays signed
    // in across restarts until the PIN changes.
    QByteArray sessionKey;

    // Missing keys give the defaults, a bad value its default and a problem of the
    // group (SettingsStore::read<RemoteSettings>() reads the file's group).
    static RemoteSettings read(SettingsStore::Group& group);
    static inline const QString kGroup = QStringLiteral("Remote");
    // The connection that reads them.
    static inline const QString kConnection = QStringLiteral("remote");
    // Writes Enabled, Port, Address (and the key once it exists); false when the
    // file could not be written.
    bool save(SettingsStore& store) const;

    // Makes the session key when there is none yet.
    void makeSessionKey();
    // Makes one and stores it when the file has none, so that a phone stays signed in
    // across restarts.
    static void keepSessionKey(SettingsStore& store);
    // The session cookie's value: the PIN signed with the key. A new PIN, a new value.
    QByteArray sessionToken(const QString& pin) const;

    bool operator==(const RemoteSettings&) const = default;
};

}  // namespace tavrelia
