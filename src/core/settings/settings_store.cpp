#include "settings/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include <arpa/inet.h>

#include <algorithm>

#include "show/atomic_file.h"

namespace tavrelia {

namespace {

const QStringList kSwitchWords = {QStringLiteral("true/false"), QStringLiteral("yes/no"),
                                  QStringLiteral("on/off"), QStringLiteral("1/0")};

QStringList fileLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// A group's name in a header line; QSettings writes a blank as %20.
std::optional<QString> headerOf(const QString& rawLine)
{
    const QString line = rawLine.trimmed();
    if (!line.startsWith(QLatin1Char('[')) || !line.endsWith(QLatin1Char(']')))
        return std::nullopt;
    return QUrl::fromPercentEncoding(line.mid(1, line.size() - 2).trimmed().toUtf8());
}

// The key of a key line; QSettings writes '/' in a key as '\'.
std::optional<QString> keyOf(const QString& rawLine)
{
    const QString line = rawLine.trimmed();
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals <= 0 || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
        return std::nullopt;
    return line.left(equals).trimmed().replace(QLatin1Char('\\'), QLatin1Char('/'));
}

QString unquoted(const QString& value)
{
    if (value.size() < 2 || !value.startsWith(QLatin1Char('"')) || !value.endsWith(QLatin1Char('"')))
        return value;
    QString text;
    for (qsizetype i = 1; i + 1 < value.size(); ++i) {
        QChar c = value[i];
        if (c == QLatin1Char('\\') && i + 2 < value.size()) {
            c = value[++i];
            if (c == QLatin1Char('n') || c == QLatin1Char('r'))
                c = QLatin1Char(c == QLatin1Char('n') ? '\n' : '\r');
        }
        text += c;
    }
    return text;
}

// A value as a line holds it: quoted when blanks at its ends, quotes, comment marks or
// line breaks would otherwise change what is read back.
QString stored(const QString& value)
{
    static const QString special = QStringLiteral("\"\\;#\n\r");
    const bool plain = value == value.trimmed() &&
                       std::none_of(value.begin(), value.end(), [](QChar c) { return special.contains(c); });
    if (plain)
        return value;
    QString text = value;
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('"'), QLatin1String("\\\""))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"))
        .replace(QLatin1Char('\r'), QLatin1String("\\r"));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// The line index just after the last key line of the group's last section, or -1.
qsizetype groupEnd(const QStringList& lines, const QString& group)
{
    qsizetype end = -1;
    bool inGroup = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto header = headerOf(lines[i])) {
            inGroup = *header == group;
            if (inGroup)
                end = i + 1;
        } else if (inGroup && !lines[i].trimmed().isEmpty()) {
            end = i + 1;
        }
    }
    return end;
}

// The indexes of key's lines in the group's sections.
QList<qsizetype> keyLines(const QStringList& lines, const QString& group, const QString& key)
{
    QList<qsizetype> found;
    bool inGroup = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto header = headerOf(lines[i]))
            inGroup = *header == group;
        else if (inGroup && keyOf(lines[i]) == key)
            found.append(i);
    }
    return found;
}

// Sets key's line in the group (the last one, which is the one read; the others go)
// or takes its lines out.
void edit(QStringList& lines, const QString& group, const SettingsStore::Edit& change)
{
    const auto& [key, value] = change;
    QList<qsizetype> found = keyLines(lines, group, key);
    if (value && !found.isEmpty())
        lines[found.takeLast()] = key + QLatin1Char('=') + stored(*value);
    for (auto it = found.rbegin(); it != found.rend(); ++it)
        lines.removeAt(*it);
    if (!value || !keyLines(lines, group, key).isEmpty())
        return;
    qsizetype end = groupEnd(lines, group);
    if (end < 0) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QString());
        lines.append(QLatin1Char('[') + group + QLatin1Char(']'));
        end = lines.size();
    }
    lines.insert(end, key + QLatin1Char('=') + stored(*value));
}

}  // namespace

SettingsStore::SettingsStore(QString path, QObject* parent) : QObject(parent), path_(std::move(path)) {}

QString SettingsStore::filePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Tavrelia/Tavrelia.conf");
}

SettingsStore::Group SettingsStore::group(const QString& name) const
{
    QList<Line> lines;
    bool inGroup = false;
    const QStringList text = fileLines(path());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (const auto header = headerOf(text[i])) {
            inGroup = *header == name;
            continue;
        }
        if (!inGroup)
            continue;
        const QString line = text[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        const auto key = keyOf(line);
        // A line without a key is kept with an empty one: a reader of a list names it.
        lines.append({static_cast<int>(i + 1), key.value_or(QString()),
                      key ? unquoted(line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed()) : line});
    }
    for (const auto& [key, value] : overrides_.value(name))
        lines.append({0, key, value});
    return Group(name, std::move(lines));
}

void SettingsStore::setOverride(const QString& group, const QString& key, const QString& value)
{
    overrides_[group].append({key, value});
    emit changed(group);
}

bool SettingsStore::write(const QString& group, const QList<Edit>& edits)
{
    const QStringList before = fileLines(path());
    QStringList lines = before;
    for (const Edit& change : edits)
        edit(lines, group, change);
    if (lines == before && QFileInfo::exists(path()))
        return true;
    QDir().mkpath(QFileInfo(path()).path());
    if (!writeFileAtomically(path(), (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8()).isEmpty())
        return false;
    emit changed(group);
    return true;
}

std::optional<bool> SettingsStore::switchNamed(const QString& word)
{
    const QString lower = word.trimmed().toLower();
    for (const QString& pair : kSwitchWords) {
        const QStringList both = pair.split(QLatin1Char('/'));
        if (lower == both[0])
            return true;
        if (lower == both[1])
            return false;
    }
    return std::nullopt;
}

bool SettingsStore::numericAddress(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    if (bytes.size() != text.size())
        return false;
    unsigned char buffer[sizeof(in6_addr)];
    return inet_pton(AF_INET, bytes.constData(), buffer) == 1 ||
           inet_pton(AF_INET6, bytes.constData(), buffer) == 1;
}

std::optional<QString> SettingsStore::Group::raw(const QString& key)
{
    std::optional<QString> value;
    for (const Line& line : lines_) {
        if (line.key == key)
            value = line.value;
    }
    seen_.append(key + QLatin1Char('=') + value.value_or(QString()));
    if (value && value->isEmpty())
        return std::nullopt;
    return value;
}

void SettingsStore::Group::bad(const QString& key, const QString& value, const QString& why)
{
    problems_.append(QStringLiteral("[%1] %2=%3: %4").arg(name_, key, value, why));
}

bool SettingsStore::Group::flag(const QString& key, bool fallback)
{
    const std::optional<QString> value = raw(key);
    if (!value)
        return fallback;
    if (const std::optional<bool> on = switchNamed(*value))
        return *on;
    bad(key, *value, QStringLiteral("not a switch (%1)").arg(kSwitchWords.join(QStringLiteral(", "))));
    return fallback;
}

uint16_t SettingsStore::Group::port(const QString& key, uint16_t fallback, bool zeroAllowed)
{
    const std::optional<QString> value = raw(key);
    if (!value)
        return fallback;
    bool ok = false;
    const uint port = value->toUInt(&ok);
    if (ok && port <= 65535 && (port > 0 || zeroAllowed))
        return static_cast<uint16_t>(port);
    bad(key, *value, QStringLiteral("not a port (%1..65535)").arg(zeroAllowed ? 0 : 1));
    return fallback;
}

QString SettingsStore::Group::address(const QString& key)
{
    const std::optional<QString> value = raw(key);
    if (!value || numericAddress(*value))
        return value.value_or(QString());
    bad(key, *value, QStringLiteral("not an IP address in digits"));
    return {};
}

QString SettingsStore::Group::word(const QString& key, const QStringList& words, const QString& fallback)
{
    const std::optional<QString> value = raw(key);
    if (!value)
        return fallback;
    for (const QString& word : words) {
        if (value->compare(word, Qt::CaseInsensitive) == 0)
            return word;
    }
    bad(key, *value, QStringLiteral("not one of %1").arg(words.join(QStringLiteral(", "))));
    return fallback;
}

QString SettingsStore::Group::text(const QString& key, const QString& fallback)
{
    return raw(key).value_or(fallback);
}

qint64 SettingsStore::Group::number(const QString& key, qint64 min, qint64 max, qint64 fallback)
{
    const std::optional<QString> value = raw(key);
    if (!value)
        return fallback;
    bool ok = false;
    const qint64 number = value->toLongLong(&ok);
    if (ok && number >= min && number <= max)
        return number;
    bad(key, *value, QStringLiteral("not a number in %1..%2").arg(min).arg(max));
    return fallback;
}

}  // namespace tavrelia
