#include "midi/midi_map.h"

#include <QRegularExpression>

namespace tavrelia {

namespace {

struct TypeName {
    MidiBinding::Type type;
    const char* name;
    int maxNumber;
};
constexpr TypeName kTypes[] = {
    {MidiBinding::Type::Note, "note", 127},
    {MidiBinding::Type::Cc, "cc", 127},
    {MidiBinding::Type::Cc14, "cc14", 31},
};

bool isSectionHeader(QStringView line)
{
    return line.startsWith(u'[') && line.endsWith(u']');
}

bool isMapHeader(QStringView line)
{
    return line == u"[MIDI map]" || line == u"[MIDI%20map]";
}

// A key as QSettings writes it: '/' as '\'.
QString keyOf(QStringView raw)
{
    QString key = raw.trimmed().toString();
    key.replace(u'\\', u'/');
    return key;
}

// The line's control name, when it is a binding line ("name=...").
std::optional<QString> nameOfLine(QStringView line)
{
    const qsizetype equals = line.indexOf(u'=');
    if (equals <= 0 || line.startsWith(u';') || line.startsWith(u'#'))
        return std::nullopt;
    return keyOf(line.left(equals));
}

std::optional<int> wholeNumber(QStringView word, int min, int max)
{
    bool ok = false;
    const int value = word.toInt(&ok);
    return ok && value >= min && value <= max ? std::optional<int>(value) : std::nullopt;
}

std::optional<MidiBinding> refused(QString* why, const QString& reason)
{
    if (why)
        *why = reason;
    return std::nullopt;
}

}  // namespace

std::optional<MidiBinding> MidiBinding::parse(QStringView text, QString* why)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList words = text.trimmed().toString().split(blanks, Qt::SkipEmptyParts);
    if (words.size() != 3)
        return refused(why, QStringLiteral("expected type, channel and number, as \"cc 1 7\""));
    for (const TypeName& type : kTypes) {
        if (words[0].compare(QLatin1String(type.name), Qt::CaseInsensitive) != 0)
            continue;
        const auto channel = wholeNumber(words[1], 1, 16);
        if (!channel)
            return refused(why, QStringLiteral("channel \"%1\" is not 1..16").arg(words[1]));
        const auto value = wholeNumber(words[2], 0, type.maxNumber);
        if (!value)
            return refused(why, QStringLiteral("number \"%1\" is not 0..%2").arg(words[2]).arg(type.maxNumber));
        return MidiBinding{type.type, *channel, *value};
    }
    return refused(why, QStringLiteral("type \"%1\" is not note, cc or cc14").arg(words[0]));
}

QString MidiBinding::text() const
{
    for (const TypeName& name : kTypes) {
        if (name.type == type)
            return QStringLiteral("%1 %2 %3").arg(QLatin1String(name.name)).arg(channel).arg(number);
    }
    return {};
}

bool MidiBinding::matches(const MidiMessage& message) const
{
    if (message.channel + 1 != channel)
        return false;
    switch (type) {
    case Type::Note:
        return (message.kind == MidiMessage::Kind::NoteOn || message.kind == MidiMessage::Kind::NoteOff) &&
               message.number == number;
    case Type::Cc:
        return message.kind == MidiMessage::Kind::ControlChange && message.number == number;
    case Type::Cc14:
        return message.kind == MidiMessage::Kind::ControlChange &&
               (message.number == number || message.number == number + 32);
    }
    return false;
}

MidiMap MidiMap::read(const QByteArray& fileText, const Refusal& refuse, QList<Fault>* faults)
{
    MidiMap map;
    const QList<QByteArray> lines = fileText.split('\n');
    bool inMap = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines[i]).trimmed();
        if (isSectionHeader(line)) {
            inMap = isMapHeader(line);
            continue;
        }
        if (!inMap || line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        const auto fault = [&](const QString& reason) {
            if (faults)
                faults->append({static_cast<int>(i + 1), reason});
        };
        const std::optional<QString> name = nameOfLine(line);
        if (!name) {
            fault(QStringLiteral("expected control=binding"));
            continue;
        }
        if (const std::optional<QString> why = refuse(*name)) {
            fault(*why);
            continue;
        }
        QString why;
        const std::optional<MidiBinding> binding = MidiBinding::parse(line.mid(line.indexOf(u'=') + 1), &why);
        if (!binding) {
            fault(QStringLiteral("%1: %2").arg(*name, why));
            continue;
        }
        map.entries_.removeIf([&](const Entry& entry) { return entry.first == *name; });
        map.entries_.append({*name, *binding});
    }
    return map;
}

QByteArray MidiMap::edited(const QByteArray& fileText, const QString& name,
                           const std::optional<MidiBinding>& binding)
{
    QList<QByteArray> lines = fileText.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    const QByteArray newLine = binding ? (name + u'=' + binding->text()).toUtf8() : QByteArray();
    qsizetype sectionEnd = -1;   // after the last line of the (last) map section
    bool inMap = false;
    bool placed = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines[i]).trimmed();
        if (isSectionHeader(line)) {
            inMap = isMapHeader(line);
            if (inMap)
                sectionEnd = i + 1;
            continue;
        }
        if (!inMap)
            continue;
        if (!line.isEmpty())
            sectionEnd = i + 1;
        if (nameOfLine(line) != name)
            continue;
        if (binding && !placed) {
            lines[i] = newLine;
            placed = true;
        } else {
            lines.removeAt(i--);
            --sectionEnd;
        }
    }
    if (binding && !placed) {
        if (sectionEnd < 0) {
            if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
                lines.append(QByteArray());
            lines.append(QByteArrayLiteral("[MIDI map]"));
            sectionEnd = lines.size();
        }
        lines.insert(sectionEnd, newLine);
    }
    return lines.join('\n') + '\n';
}

const MidiBinding* MidiMap::find(const QString& name) const
{
    for (const Entry& entry : entries_) {
        if (entry.first == name)
            return &entry.second;
    }
    return nullptr;
}

QStringList MidiMap::bind(const QString& name, const MidiBinding& binding)
{
    QStringList gone;
    entries_.removeIf([&](const Entry& entry) {
        const bool same = entry.second == binding && entry.first != name;
        if (same)
            gone.append(entry.first);
        return same || entry.first == name;
    });
    entries_.append({name, binding});
    return gone;
}

}  // namespace tavrelia
