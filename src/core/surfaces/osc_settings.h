#pragma once

#include <QString>

#include <cstdint>

namespace tavrelia {

// OSC over UDP, a setting of this machine kept in Tavrelia.conf, group OSC:
//   Enabled=false, Port=8000, Address= (all interfaces), FeedbackHost=, FeedbackPort=
// Addresses are numeric (IPv4 or IPv6): nothing here waits for a name server.
struct OscSettings {
    static constexpr uint16_t kDefaultPort = 8000;

    bool enabled = false;
    uint16_t port = kDefaultPort;
    QString address;        // empty: every interface
    QString feedbackHost;   // empty: no fixed feedback target
    uint16_t feedbackPort = 0;

    // Missing keys give the defaults; a bad value gives its default and a line in
    // problems (when asked for), so the rest still loads.
    static OscSettings load(QString* problems = nullptr);
    // False when the file could not be written.
    bool save() const;

    // The fixed feedback target is set: a host and a port.
    bool hasFeedbackTarget() const { return !feedbackHost.isEmpty() && feedbackPort != 0; }

    // An IPv4 or IPv6 address written out in digits; false for names and anything else.
    static bool numericAddress(const QString& text);

    bool operator==(const OscSettings&) const = default;
};

}  // namespace tavrelia
