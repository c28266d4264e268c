#pragma once

#include <QObject>
#include <QString>

#include <optional>

#include "control/pin_guard.h"

namespace tavrelia {

class SettingsStore;

// The one owner of the PIN of the desk's network connections ([Remote] Pin of
// Tavrelia.conf). Every connection that takes a PIN asks here, so the waits after
// wrong PINs belong to the address whatever it tried (a wrong PIN on the phone page
// also makes OSC from that address wait), and a new PIN ends every session of every
// connection at once.
//
// Thread: the user-interface thread.
class PinOwner : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kGroup = "Remote";
    static constexpr const char* kKey = "Pin";

    explicit PinOwner(SettingsStore& store, QObject* parent = nullptr);

    // The PIN as stored, or empty when it is not 4 to 8 digits.
    const QString& pin() const { return pin_; }
    // Why no connection can be opened with the stored PIN, or nothing.
    std::optional<QString> problem() const;
    // Stores a new PIN of 4 to 8 digits; false when it is not one or the file could
    // not be written.
    bool setPin(const QString& pin);
    // The PIN an address sent.
    PinGuard::Answer check(const QString& address, const QString& pin,
                           PinGuard::Clock::time_point now = PinGuard::Clock::now());

signals:
    // A new PIN: every session of every connection ends.
    void changed();

private:
    void read();

    SettingsStore& store_;
    QString stored_;   // as written, for the problem's text
    QString pin_;
    PinGuard guard_;
};

}  // namespace tavrelia
