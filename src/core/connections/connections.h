#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "connections/connection.h"

namespace tavrelia {

class SettingsStore;

// The one owner of the desk's connections, for the window and the player alike.
// Each is registered once, with the group of Tavrelia.conf that holds its settings,
// and made only when it is first wanted (so a connection kept in a module loads
// nothing while it is off). They start in the order registered and stop in reverse;
// one whose settings are written through the store is started again with them.
//
// Thread: the user-interface thread.
class Connections : public QObject {
    Q_OBJECT
public:
    using Factory = std::function<std::unique_ptr<Connection>()>;
    // Switched: runs while its group's Enabled is on. Always: the output link.
    enum class When { Switched, Always };

    explicit Connections(SettingsStore& store, QObject* parent = nullptr);
    ~Connections() override;

    // Whether the group's settings want the connection (read with the store's types,
    // so a bad value is named); Switched reads its Enabled.
    using Switch = std::function<bool(SettingsStore::Group& group)>;

    void add(const QString& id, const QString& group, Factory factory, When when = When::Switched);
    // Runs while wantedBy says so (one of a group's choices: [Timecode] Source=).
    void add(const QString& id, const QString& group, Factory factory, Switch wantedBy);
    // The player's command line: exactly these run (and those that always do),
    // whatever their switches.
    void choose(const QStringList& ids);

    void startAll();
    void stopAll();
    // The connection as made, or null while it has never been wanted.
    Connection* find(const QString& id) const;
    QStringList ids() const;

    // What the window and the player show; a connection never made is Off.
    Connection::State state(const QString& id) const;
    QString reason(const QString& id) const;
    QString where(const QString& id) const;
    // The bad values of its settings (its switch among them), one a line.
    QStringList problems(const QString& id) const;

signals:
    // Anything of the connection changed: its state, address, counts or problems.
    void changed(const QString& id);

private:
    struct Entry {
        QString id;
        QString group;
        Factory factory;
        When when;
        Switch wantedBy;
        std::unique_ptr<Connection> made;
        QStringList switchProblems;
    };
    Entry* entry(const QString& id);
    const Entry* entry(const QString& id) const;
    bool wanted(Entry& entry);
    void start(Entry& entry);
    void stop(Entry& entry);
    void groupWritten(const QString& group);

    SettingsStore& store_;
    std::vector<Entry> entries_;
    std::optional<QStringList> chosen_;
    bool running_ = false;
    bool starting_ = false;   // a connection writes its own settings while it starts
};

}  // namespace tavrelia
