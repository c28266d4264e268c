#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include "settings/settings_store.h"

namespace tavrelia {

// One way the desk meets the outside world: an output backend, the phone remote, OSC,
// MIDI, a timecode or beat source. Started with its settings, stopped, and saying
// what it does; Connections owns every one and starts it only when it is wanted.
//
// A new kind is one class (start, stop, its state) and one line of registration in
// Connections.
class Connection : public QObject {
    Q_OBJECT
public:
    enum class State { Off, Starting, On, Fault };
    struct Count {
        QString name;
        quint64 value = 0;
        bool operator==(const Count&) const = default;
    };

    Connection(QString id, QString group, QObject* parent = nullptr);

    const QString& id() const { return id_; }
    // Its group in Tavrelia.conf.
    const QString& group() const { return group_; }

    // Reads its own keys through the store (took() for each group read), opens what it
    // needs and says its state. A running one is stopped first.
    virtual void start(SettingsStore& store) = 0;
    // Lets everything go; the state is Off after it.
    virtual void stop() = 0;

    State state() const { return state_; }
    // Why it is in Fault.
    const QString& reason() const { return reason_; }
    // Its address, port or device as the operator reads it.
    const QString& where() const { return where_; }
    const QList<Count>& counts() const { return counts_; }
    quint64 count(const QString& name) const;
    // The last thing worth a line (the last message dropped and why).
    const QString& note() const { return note_; }
    // The bad values of its settings at the last start.
    const QStringList& problems() const { return problems_; }
    // Whether a key read at the last start reads differently now.
    bool settingsChanged(const SettingsStore& store) const;
    // A start afresh: the problems and keys of the last one forgotten.
    void forgetSettings();
    void took(const SettingsStore::Group& group);

signals:
    void changed();

protected:
    void setState(State state, const QString& reason = {});
    void setWhere(const QString& where);
    void setCounts(const QList<Count>& counts);
    void setNote(const QString& note);

private:
    QString id_;
    QString group_;
    State state_ = State::Off;
    QString reason_;
    QString where_;
    QList<Count> counts_;
    QString note_;
    QStringList problems_;
    QHash<QString, QStringList> seen_;   // group: "key=value" read
};

}  // namespace tavrelia
