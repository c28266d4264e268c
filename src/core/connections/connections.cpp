#include "connections/connections.h"

#include "settings/settings_store.h"

namespace tavrelia {

Connections::Connections(SettingsStore& store, QObject* parent) : QObject(parent), store_(store)
{
    connect(&store_, &SettingsStore::changed, this, &Connections::groupWritten);
}

Connections::~Connections()
{
    stopAll();
}

void Connections::add(const QString& id, const QString& group, Factory factory, When when)
{
    entries_.push_back({id, group, std::move(factory), when, {}, nullptr, {}});
}

void Connections::add(const QString& id, const QString& group, Factory factory, Switch wantedBy)
{
    entries_.push_back({id, group, std::move(factory), When::Switched, std::move(wantedBy), nullptr, {}});
}

void Connections::choose(const QStringList& ids)
{
    chosen_ = ids;
}

void Connections::startAll()
{
    running_ = true;
    for (Entry& each : entries_)
        start(each);
}

void Connections::stopAll()
{
    running_ = false;
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
        stop(*it);
}

bool Connections::wanted(Entry& entry)
{
    SettingsStore::Group group = store_.group(entry.group);
    const bool on = entry.wantedBy ? entry.wantedBy(group) : group.flag(QStringLiteral("Enabled"), false);
    entry.switchProblems = group.problems();
    if (entry.when == When::Always)
        return true;
    return chosen_ ? chosen_->contains(entry.id) : on;
}

void Connections::start(Entry& entry)
{
    if (!wanted(entry)) {
        stop(entry);
        emit changed(entry.id);
        return;
    }
    if (!entry.made) {
        entry.made = entry.factory();
        const QString id = entry.id;
        connect(entry.made.get(), &Connection::changed, this, [this, id] { emit changed(id); });
    }
    stop(entry);
    entry.made->forgetSettings();
    starting_ = true;
    entry.made->start(store_);
    starting_ = false;
    emit changed(entry.id);
}

void Connections::stop(Entry& entry)
{
    if (entry.made && entry.made->state() != Connection::State::Off)
        entry.made->stop();
}

void Connections::groupWritten(const QString& group)
{
    if (!running_ || starting_)
        return;
    for (Entry& each : entries_) {
        const bool restart = each.group == group || (each.made && each.made->settingsChanged(store_));
        if (!restart)
            continue;
        const bool running = each.made && each.made->state() == Connection::State::On;
        // Keys it did not read (another connection's PIN, say) leave it running; one
        // that could not start (no PIN yet, its port taken) tries again.
        if (running && wanted(each) && !each.made->settingsChanged(store_)) {
            emit changed(each.id);
            continue;
        }
        start(each);
    }
}

Connections::Entry* Connections::entry(const QString& id)
{
    for (Entry& each : entries_) {
        if (each.id == id)
            return &each;
    }
    return nullptr;
}

const Connections::Entry* Connections::entry(const QString& id) const
{
    return const_cast<Connections*>(this)->entry(id);
}

Connection* Connections::find(const QString& id) const
{
    const Entry* found = entry(id);
    return found ? found->made.get() : nullptr;
}

QStringList Connections::ids() const
{
    QStringList ids;
    for (const Entry& each : entries_)
        ids.append(each.id);
    return ids;
}

Connection::State Connections::state(const QString& id) const
{
    const Connection* made = find(id);
    return made ? made->state() : Connection::State::Off;
}

QString Connections::reason(const QString& id) const
{
    const Connection* made = find(id);
    return made ? made->reason() : QString();
}

QString Connections::where(const QString& id) const
{
    const Connection* made = find(id);
    return made ? made->where() : QString();
}

QStringList Connections::problems(const QString& id) const
{
    const Entry* found = entry(id);
    if (!found)
        return {};
    QStringList all = found->switchProblems;
    if (found->made) {
        for (const QString& problem : found->made->problems()) {
            if (!all.contains(problem))
                all.append(problem);
        }
    }
    return all;
}

}  // namespace tavrelia
