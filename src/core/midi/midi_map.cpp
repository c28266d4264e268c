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

MidiMap MidiMap::read(const SettingsStore::Group& group, const Refusal& refuse, QList<Fault>* faults)
{
    MidiMap map;
    for (const SettingsStore::Line& line : group.lines()) {
        const auto fault = [&](const QString& reason) {
            if (faults)
                faults->append({line.number, reason});
        };
        if (line.key.isEmpty()) {
            fault(QStringLiteral("expected control=binding"));
            continue;
        }
        if (const std::optional<QString> why = refuse(line.key)) {
            fault(*why);
            continue;
        }
        QString why;
        const std::optional<MidiBinding> binding = MidiBinding::parse(line.value, &why);
        if (!binding) {
            fault(QStringLiteral("%1: %2").arg(line.key, why));
            continue;
        }
        map.entries_.removeIf([&](const Entry& entry) { return entry.first == line.key; });
        map.entries_.append({line.key, *binding});
    }
    return map;
}

SettingsStore::Edit MidiMap::edit(const QString& name, const std::optional<MidiBinding>& binding)
{
    return {name, binding ? std::optional(binding->text()) : std::nullopt};
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
