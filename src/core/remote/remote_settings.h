#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QString>

#include <cstdint>
#include <optional>

namespace tavrelia {

// The phone remote's settings, in the program's own Linux settings file
// ($XDG_CONFIG_HOME/Tavrelia/Tavrelia.conf, group Remote).
struct RemoteSettings {
    static constexpr uint16_t kDefaultPort = 8420;

    bool enabled = false;
    uint16_t port = kDefaultPort;
    QString address;   // empty: every interface
    QString pin;
    // Signs the session cookie with the PIN; made once, so that a phone stays signed
    // in across restarts until the PIN changes.
    QByteArray sessionKey;

    // Missing keys give the defaults; a port that is not 1..65535 gives the default.
    static RemoteSettings load();
    // Writes Enabled, Port, Address and Pin (and the key once it exists); false when
    // the file could not be written.
    bool save() const;

    // Why the remote cannot start with these settings, or nothing.
    std::optional<QString> problem() const;
    // Where to listen: every interface, or the one address named.
    QHostAddress listenAddress() const;
    // Makes the session key when there is none yet (and saves it).
    void makeSessionKey();
    // The session cookie's value: the PIN signed with the key. A new PIN, a new value.
    QByteArray sessionToken() const;

    bool operator==(const RemoteSettings&) const = default;
};

}  // namespace tavrelia
