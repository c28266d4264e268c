#include "control/pin_owner.h"

#include <QCryptographicHash>

#include <algorithm>

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
    SettingsStore::Group group = store_.group(QLatin1String(kGroup));
    stored_ = group.text(QLatin1String(kKey));
    const QString pin = PinGuard::valid(stored_) ? stored_ : QString();
    if (pin == pin_)
        return;
    pin_ = pin;
    guard_.clear();
    // Machines let in with another PIN stay out: the list is for the PIN it was kept with.
    letIn_.clear();
    if (!pin.isEmpty() && group.text(QLatin1String(kLetInCheckKey)) == checkOf(pin)) {
        for (const QString& host : group.text(QLatin1String(kLetInKey)).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (SettingsStore::numericAddress(host) && !letIn_.contains(host))
                letIn_.append(host);
        }
        letIn_ = letIn_.mid(std::max<qsizetype>(0, letIn_.size() - kLetInHosts));
    }
    emit changed();
}

QString PinOwner::checkOf(const QString& pin)
{
    // Says only whether the PIN is the same: the PIN itself is in the same file.
    return QString::fromLatin1(
        QCryptographicHash::hash("tavrelia let in " + pin.toUtf8(), QCryptographicHash::Sha256).toHex().left(16));
}

void PinOwner::letIn(const QString& host)
{
    if (pin_.isEmpty() || letIn_.contains(host))
        return;
    letIn_.append(host);
    if (letIn_.size() > kLetInHosts)
        letIn_.removeFirst();
    // Not written: let in for this run.
    store_.write(QLatin1String(kGroup), {{QLatin1String(kLetInKey), letIn_.join(QLatin1Char(' '))},
                                         {QLatin1String(kLetInCheckKey), checkOf(pin_)}});
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
    QList<SettingsStore::Edit> edits = {{QLatin1String(kKey), pin}};
    // A new PIN lets out every machine let in with the old one.
    if (pin != pin_)
        edits += {{QLatin1String(kLetInKey), std::nullopt}, {QLatin1String(kLetInCheckKey), std::nullopt}};
    const bool written = store_.write(QLatin1String(kGroup), edits);
    // Written or not, this run goes on with the new PIN.
    stored_ = pin;
    if (pin != pin_) {
        pin_ = pin;
        guard_.clear();
        letIn_.clear();
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
