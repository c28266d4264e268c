#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

#include "settings/settings_store.h"

namespace tavrelia {


// OSC over UDP, group [OSC] of Tavrelia.conf:
//   Enabled=false, Port=8000, Address= (all interfaces), FeedbackHost=, FeedbackPort=
// Addresses are numeric (IPv4 or IPv6): nothing here waits for a name server.
struct OscSettings {
    static constexpr uint16_t kDefaultPort = 8000;

    bool enabled = false;
    uint16_t port = kDefaultPort;
    QString address;        // empty: every interface
    QString feedbackHost;   // empty: no fixed feedback target
    uint16_t feedbackPort = 0;

    // Missing keys give the defaults, a bad value its default and a problem of the
    // group (SettingsStore::read<OscSettings>() reads the file's group).
    static OscSettings read(SettingsStore::Group& group);
    static inline const QString kGroup = QStringLiteral("OSC");
    // The connection that reads them.
    static inline const QString kConnection = QStringLiteral("osc");
    // False when the file could not be written.
    bool save(SettingsStore& store) const;

    // The fixed feedback target is set: a host and a port.
    bool hasFeedbackTarget() const { return !feedbackHost.isEmpty() && feedbackPort != 0; }

    bool operator==(const OscSettings&) const = default;
};

}  // namespace tavrelia
