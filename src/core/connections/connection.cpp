#include "connections/connection.h"

namespace tavrelia {

Connection::Connection(QString id, QString group, QObject* parent)
    : QObject(parent), id_(std::move(id)), group_(std::move(group))
{
}

quint64 Connection::count(const QString& name) const
{
    for (const Count& count : counts_) {
        if (count.name == name)
            return count.value;
    }
    return 0;
}

void Connection::forgetSettings()
{
    problems_.clear();
    seen_.clear();
}

void Connection::took(const SettingsStore::Group& group)
{
    problems_ += group.problems();
    seen_[group.name()] += group.seen();
}

bool Connection::settingsChanged(const SettingsStore& store) const
{
    for (auto it = seen_.begin(); it != seen_.end(); ++it) {
        SettingsStore::Group now = store.group(it.key());
        for (const QString& entry : it.value()) {
            const QString key = entry.section(QLatin1Char('='), 0, 0);
            now.text(key);
        }
        if (now.seen() != it.value())
            return true;
    }
    return false;
}

void Connection::setState(State state, const QString& reason)
{
    if (state == state_ && reason == reason_)
        return;
    state_ = state;
    reason_ = reason;
    emit changed();
}

void Connection::setWhere(const QString& where)
{
    if (where == where_)
        return;
    where_ = where;
    emit changed();
}

void Connection::setCounts(const QList<Count>& counts)
{
    if (counts == counts_)
        return;
    counts_ = counts;
    emit changed();
}

void Connection::setNote(const QString& note)
{
    if (note == note_)
        return;
    note_ = note;
    emit changed();
}

}  // namespace tavrelia
