#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

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
// It also keeps the machines that OSC let in by the PIN ([Remote] LetIn, with
// LetInCheck, a digest of the PIN they were let in with): they stay let in, across
// restarts too, until the PIN changes, also when it is changed by hand in the file.
//
// Thread: the user-interface thread.
class PinOwner : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kGroup = "Remote";
    static constexpr const char* kKey = "Pin";
    static constexpr const char* kLetInKey = "LetIn";
    static constexpr const char* kLetInCheckKey = "LetInCheck";
    // Machines kept let in at most; when full, the one let in longest ago goes.
    static constexpr int kLetInHosts = 64;

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

    // Whether the machine at host (an address in digits) is let in.
    bool isLetIn(const QString& host) const { return letIn_.contains(host); }
    // Lets host in until the PIN changes, kept in the settings file (for this run
    // alone when the file cannot be written).
    void letIn(const QString& host);

signals:
    // A new PIN: every session of every connection ends.
    void changed();

private:
    void read();
    static QString checkOf(const QString& pin);

    SettingsStore& store_;
    QString stored_;   // as written, for the problem's text
    QString pin_;
    PinGuard guard_;
    QStringList letIn_;   // the one let in longest ago first
};

}  // namespace tavrelia
