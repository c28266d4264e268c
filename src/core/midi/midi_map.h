#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

#include "midi/midi_parser.h"
#include "settings/settings_store.h"

namespace tavrelia {

// What a control of the desk is bound to on a surface: a note, a controller (7-bit),
// or a pair of controllers for 14 bits (number 0..31 the high half, number + 32 the
// low half), on channel 1..16. Written "note 1 36", "cc 1 7", "cc14 1 7".
struct MidiBinding {
    enum class Type : uint8_t { Note, Cc, Cc14 };
    Type type = Type::Note;
    int channel = 1;   // 1..16
    int number = 0;    // 0..127, 0..31 for cc14

    // The binding a line's value names, or the reason it names none.
    static std::optional<MidiBinding> parse(QStringView text, QString* why = nullptr);
    QString text() const;
    // Whether a message comes from this binding's control (a cc14 binding: either half).
    bool matches(const MidiMessage& message) const;
    bool operator==(const MidiBinding&) const = default;
};

// The bindings of the group [MIDI map] of Tavrelia.conf: one line a binding, the
// control's name, "=", the binding ("fader/3=cc 1 7").
class MidiMap {
public:
    struct Fault {
        int line;   // 1.. in the file
        QString reason;
    };
    // Why a control cannot be bound (unknown, read-only ...), or nothing.
    using Refusal = std::function<std::optional<QString>(const QString& name)>;
    using Entry = std::pair<QString, MidiBinding>;

    static inline const QString kGroup = QStringLiteral("MIDI map");

    // Reads the group's lines. Bad lines are skipped and named with their line number;
    // the others still load. A control named twice keeps its last line.
    static MidiMap read(const SettingsStore::Group& group, const Refusal& refuse, QList<Fault>* faults);
    // The edit of the file that stores a binding (or takes it out).
    static SettingsStore::Edit edit(const QString& name, const std::optional<MidiBinding>& binding);

    const QList<Entry>& entries() const { return entries_; }
    const MidiBinding* find(const QString& name) const;
    // Binds a control; a control bound to the same message before loses it. Returns
    // the names whose binding went.
    QStringList bind(const QString& name, const MidiBinding& binding);

private:
    QList<Entry> entries_;
};

}  // namespace tavrelia
