#include "show/settings_file.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringList>

#include "show/atomic_file.h"

namespace tavrelia {

namespace {
const QString kKonveir = QStringLiteral("Konveir");
const QString kLastFile = QStringLiteral("LastFile");
const QString kPath = QStringLiteral("Path");

bool same(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool quoted(const QString& value)
{
    return value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"'));
}

QString unquoted(QString value)
{
    return quoted(value) ? value.mid(1, value.size() - 2) : value;
}

// A name as a line of the file can hold it. A line break would start an entry of its
// own, so such a name is not kept; blanks or quotes at either end would be taken off
// when it is read, so the name is quoted.
QString storable(const QString& name)
{
    if (name.contains(QLatin1Char('\n')))
        return {};
    if (name != name.trimmed() || quoted(name))
        return QLatin1Char('"') + name + QLatin1Char('"');
    return name;
}
}  // namespace

QString SettingsFile::conveyorKey(int index)
{
    return QStringLiteral("File%1").arg(index + 1, 2, 10, QLatin1Char('0'));
}

SettingsFile SettingsFile::read(const QString& path)
{
    QFile file(path);
    // Lines are trimmed, so a Windows line end needs no translation.
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parse(decoded(file.readAll()));
}

QString SettingsFile::decoded(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    // Not UTF-8: written by the Windows program, in its Cyrillic code page.
    QStringDecoder windows1251("windows-1251");
    return windows1251.decode(bytes);
}

SettingsFile SettingsFile::parse(const QString& text)
{
    SettingsFile settings;
    QString section;
    for (const QString& rawLine : text.split(QLatin1Char('\n'))) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || line.startsWith(QLatin1Char(';')))
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = unquoted(line.mid(eq + 1).trimmed());
        if (same(section, kLastFile) && same(key, kPath)) {
            settings.lastFile = value;
        } else if (same(section, kKonveir)) {
            for (int i = 0; i < kConveyorFiles; ++i) {
                if (same(key, conveyorKey(i)))
                    settings.conveyorFiles[i] = value;
            }
        }
    }
    return settings;
}

QString SettingsFile::text() const
{
    QStringList lines;
    lines << QLatin1Char('[') + kKonveir + QLatin1Char(']');
    for (int i = 0; i < kConveyorFiles; ++i)
        lines << conveyorKey(i) + QLatin1Char('=') + storable(conveyorFiles[i]);
    lines << QString() << QLatin1Char('[') + kLastFile + QLatin1Char(']');
    lines << kPath + QLatin1Char('=') + storable(lastFile);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString SettingsFile::write(const QString& path) const
{
    return writeFileAtomically(path, text().toUtf8());
}

}  // namespace tavrelia
