#include "control/pin_owner.h"

#include "settings/settings_store.h"

namespace tavrelia {

PinOwner::PinOwner(SettingsStore& store, QObject* parent) : QObject(parent), store_(store)
{
    read();
    connect(&store_, &SettingsStore::changed, this, [this](const QString& group) {
        if (group == QLatin1String(kGroup))
            read();
    });
}

void PinOwner::read()
{
    stored_ = store_.group(QLatin1String(kGroup)).text(QLatin1String(kKey));
    const QString pin = PinGuard::valid(stored_) ? stored_ : QString();
    if (pin == pin_)
        return;
    pin_ = pin;
    guard_.clear();
    emit changed();
}

std::optional<QString> PinOwner::problem() const
{
    if (stored_.isEmpty())
        return QStringLiteral("no PIN set (Pin in [Remote] of %1)").arg(store_.path());
    if (pin_.isEmpty())
        return QStringLiteral("the PIN must be 4 to 8 digits (Pin in [Remote] of %1)").arg(store_.path());
    return std::nullopt;
}

bool PinOwner::setPin(const QString& pin)
{
    if (!PinGuard::valid(pin))
        return false;
    const bool written = store_.write(QLatin1String(kGroup), {{QLatin1String(kKey), pin}});
    // Written or not, this run goes on with the new PIN.
    stored_ = pin;
    if (pin != pin_) {
        pin_ = pin;
        guard_.clear();
        emit changed();
    }
    return written;
}

PinGuard::Answer PinOwner::check(const QString& address, const QString& pin, PinGuard::Clock::time_point now)
{
    if (pin_.isEmpty())
        return {PinGuard::Verdict::Refused, {}};
    return guard_.check(address, pin, pin_, now);
}

}  // namespace tavrelia
