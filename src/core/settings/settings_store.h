#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <utility>

namespace tavrelia {

// The one reader and writer of this machine's own settings file,
// $XDG_CONFIG_HOME/Tavrelia/Tavrelia.conf. Every group is read with the same typed
// keys, so that a switch, a port or an address means the same in each; a bad value
// is named with its group, key and value, and its default is used. Writing edits
// the lines of the keys it sets and keeps every other line (comments, order, keys
// it does not know). The file is read afresh for every group asked for, so an edit
// by hand counts at the next start of a connection.
//
// Thread: the user-interface thread.
class SettingsStore : public QObject {
    Q_OBJECT
public:
    // A key line of a group, with its line number in the file (1..).
    struct Line {
        int number = 0;
        QString key;
        QString value;
    };

    // The values of one group as read now, and what was wrong with them.
    class Group {
    public:
        Group(QString name, QList<Line> lines) : name_(std::move(name)), lines_(std::move(lines)) {}

        // true/false, yes/no, on/off, 1/0 in any case.
        bool flag(const QString& key, bool fallback);
        // 1..65535 (0 too when zeroAllowed, meaning "none").
        uint16_t port(const QString& key, uint16_t fallback, bool zeroAllowed = false);
        // An IPv4 or IPv6 address in digits, or empty: nothing waits for a name server.
        QString address(const QString& key);
        // One of words, in any case; returned as listed.
        QString word(const QString& key, const QStringList& words, const QString& fallback);
        QString text(const QString& key, const QString& fallback = {});
        qint64 number(const QString& key, qint64 min, qint64 max, qint64 fallback);

        const QString& name() const { return name_; }
        const QList<Line>& lines() const { return lines_; }
        // "[OSC] Enabled=maybe: not a switch (...)", one a bad value.
        const QStringList& problems() const { return problems_; }
        // The raw values of the keys read so far, to tell whether a later read differs.
        const QStringList& seen() const { return seen_; }

    private:
        // The key's value (the last line of it), or nothing when missing or blank.
        std::optional<QString> raw(const QString& key);
        void bad(const QString& key, const QString& value, const QString& why);

        QString name_;
        QList<Line> lines_;
        QStringList problems_;
        QStringList seen_;
    };

    // A key to set (a value) or take out (nothing).
    using Edit = std::pair<QString, std::optional<QString>>;

    // An empty path: filePath() as it is when the file is used.
    explicit SettingsStore(QString path = {}, QObject* parent = nullptr);

    static QString filePath();
    QString path() const { return path_.isEmpty() ? filePath() : path_; }

    Group group(const QString& name) const;
    // The settings of a group as a struct reads them (T::kGroup, T::read), with the
    // group's problems added to problems.
    template <typename T>
    T read(QStringList* problems = nullptr) const
    {
        Group values = group(T::kGroup);
        T settings = T::read(values);
        if (problems)
            *problems += values.problems();
        return settings;
    }
    // Sets and removes keys of a group (made at the end of the file when missing),
    // atomically; false when the file could not be written, which is left whole then.
    // Says changed(group) when the file's text changed.
    bool write(const QString& group, const QList<Edit>& edits);

    // A value for this run alone, in place of the file's (the player's command line);
    // says changed(group).
    void setOverride(const QString& group, const QString& key, const QString& value);

    static std::optional<bool> switchNamed(const QString& word);
    static bool numericAddress(const QString& text);

signals:
    void changed(const QString& group);

private:
    QString path_;
    QHash<QString, QList<std::pair<QString, QString>>> overrides_;   // group: key, value
};

}  // namespace tavrelia
