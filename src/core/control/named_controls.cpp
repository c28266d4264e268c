#include "control/named_controls.h"

#include <QHash>
#include <QMetaMethod>
#include <QTimer>

#include <cmath>
#include <cstdint>
#include <variant>

#include "control/controls.h"
#include "editing/channel_desk.h"
#include "editing/channel_names.h"
#include "playback/sequencer.h"

namespace tavrelia {

namespace {

using Kind = NamedControls::Kind;
using Read = QVariant (*)(const Controls&, const ShowImage&, int n);
// Called with a value already checked against the family's kind and range.
using Write = void (*)(Controls&, int n, const QVariant& value);

const QStringList kModes{QStringLiteral("fadera"), QStringLiteral("avtomat"), QStringLiteral("vykl")};
// In the order of Conveyor::Mode.
const QStringList kConveyorModes{QStringLiteral("hand"), QStringLiteral("stop"), QStringLiteral("list"),
                                 QStringLiteral("list-first")};

// Beats of the followed beat per scene, and where the beat comes from.
const QStringList kBeatsPerScene{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("8")};
const QStringList kBeatSources{QStringLiteral("tap"), QStringLiteral("midi"), QStringLiteral("link"),
                               QStringLiteral("audio")};

// One name, or a numbered family of them: "%1" in the pattern stands for 1..count.
struct Family {
    const char* pattern;
    int count;
    Kind kind;
    int min;
    int max;
    const QStringList* words;
    Read read;
    Write write;
};

int on(const QVariant& value)
{
    return value.toInt();
}

// Press buttons act on the press; their release does nothing.
template <void (Controls::*action)()>
void pressed(Controls& c, int, const QVariant& value)
{
    if (on(value))
        (c.*action)();
}

const Family kFamilies[] = {
    {"play", 0, Kind::Press, 0, 1, nullptr, [](const Controls& c, const ShowImage&, int) { return QVariant(int(c.playing())); },
     &pressed<&Controls::play>},
    {"stop", 0, Kind::Press, 0, 1, nullptr, [](const Controls& c, const ShowImage&, int) { return QVariant(int(!c.playing())); },
     &pressed<&Controls::stop>},
    {"next", 0, Kind::Press, 0, 1, nullptr, [](const Controls&, const ShowImage&, int) { return QVariant(0); },
     &pressed<&Controls::next>},
    {"prev", 0, Kind::Press, 0, 1, nullptr, [](const Controls&, const ShowImage&, int) { return QVariant(0); },
     &pressed<&Controls::prev>},
    {"go", 0, Kind::Level, 1, 256, nullptr, [](const Controls& c, const ShowImage&, int) { return QVariant(c.scene()); },
     [](Controls& c, int, const QVariant& v) { c.go(v.toInt()); }},
    {"tempo", 0, Kind::Level, 10, 170, nullptr, [](const Controls& c, const ShowImage&, int) { return QVariant(c.tempo()); },
     [](Controls& c, int, const QVariant& v) { c.setTempo(v.toInt()); }},
    {"tempo/label", 0, Kind::Text, 0, 0, nullptr,
     [](const Controls& c, const ShowImage&, int) { return QVariant(Sequencer::tempoLabel(c.period())); }, nullptr},
    {"tap", 0, Kind::Press, 0, 1, nullptr, [](const Controls&, const ShowImage&, int) { return QVariant(0); },
     &pressed<&Controls::tap>},
    {"beat/follow", 0, Kind::Switch, 0, 1, nullptr,
     [](const Controls& c, const ShowImage&, int) { return QVariant(int(c.clockFollow())); },
     [](Controls& c, int, const QVariant& v) { c.setClockFollow(on(v)); }},
    {"beat/per-scene", 0, Kind::Word, 0, 0, &kBeatsPerScene,
     [](const Controls& c, const ShowImage&, int) { return QVariant(QString::number(c.beatsPerScene())); },
     [](Controls& c, int, const QVariant& v) { c.setBeatsPerScene(v.toString().toInt()); }},
    {"beat/source", 0, Kind::Word, 0, 0, &kBeatSources,
     [](const Controls& c, const ShowImage&, int) { return QVariant(c.beatSource()); },
     [](Controls& c, int, const QVariant& v) { c.setBeatSource(v.toString()); }},
    {"beat/tempo", 0, Kind::Level, 0, 999, nullptr,
     [](const Controls& c, const ShowImage&, int) { return QVariant(int(std::lround(c.beatTempo()))); }, nullptr},
    {"beat", 0, Kind::Level, 0, 999, nullptr, [](const Controls& c, const ShowImage&, int) { return QVariant(c.beats()); },
     nullptr},
    {"link/enabled", 0, Kind::Switch, 0, 1, nullptr,
     [](const Controls& c, const ShowImage&, int) { return QVariant(int(c.linkEnabled())); }, nullptr},
    {"link/peers", 0, Kind::Level, 0, 999, nullptr,
     [](const Controls& c, const ShowImage&, int) { return QVariant(c.linkPeers()); }, nullptr},
    {"timecode", 0, Kind::Text, 0, 0, nullptr,
     [](const Controls& c, const ShowImage&, int) { return QVariant(c.timecodeText()); }, nullptr},
    {"timecode/chase", 0, Kind::Switch, 0, 1, nullptr,
     [](const Controls& c, const ShowImage&, int) { return QVariant(int(c.timecodeChase())); },
     [](Controls& c, int, const QVariant& v) { c.setTimecodeChase(on(v)); }},
    {"timecode/record", 0, Kind::Switch, 0, 1, nullptr,
     [](const Controls& c, const ShowImage&, int) { return QVariant(int(c.timecodeRecord())); },
     [](Controls& c, int, const QVariant& v) { c.setTimecodeRecord(on(v)); }},
    {"audio/enabled", 0, Kind::Switch, 0, 1, nullptr,
     [](const Controls& c, const ShowImage&, int) { return QVariant(int(c.audioEnabled())); }, nullptr},
    {"audio/confidence", 0, Kind::Level, 0, 100, nullptr,
     [](const Controls& c, const ShowImage&, int) { return QVariant(c.audioConfidence()); }, nullptr},
    {"blackout", 0, Kind::Switch, 0, 1, nullptr,
     [](const Controls& c, const ShowImage&, int) { return QVariant(int(c.blackOut())); },
     [](Controls& c, int, const QVariant& v) { c.setBlackOut(on(v)); }},
    {"mode", 0, Kind::Word, 0, 0, &kModes,
     [](const Controls& c, const ShowImage&, int) { return QVariant(kModes.value(c.mode())); },
     [](Controls& c, int, const QVariant& v) { c.setMode(int(kModes.indexOf(v.toString()))); }},
    {"picture/%1", Controls::kPictures, Kind::Press, 0, 1, nullptr,
     [](const Controls& c, const ShowImage&, int n) { return QVariant(int(c.picture(n))); },
     [](Controls& c, int n, const QVariant& v) { on(v) ? c.setPicture(n, true) : c.releasePicture(n); }},
    {"picture/%1/latch", Controls::kPictures, Kind::Switch, 0, 1, nullptr,
     [](const Controls& c, const ShowImage&, int n) { return QVariant(int(c.pictureLatched(n))); },
     [](Controls& c, int n, const QVariant& v) { c.latchPicture(n, on(v)); }},
    {"macro", 0, Kind::Press, 0, 1, nullptr, [](const Controls& c, const ShowImage&, int) { return QVariant(int(c.macro())); },
     [](Controls& c, int, const QVariant& v) { c.setMacro(on(v)); }},
    {"conveyor/%1", Controls::kConveyorButtons, Kind::Press, 0, 1, nullptr,
     [](const Controls& c, const ShowImage&, int n) { return QVariant(int(c.conveyor().button(n).pressed)); },
     [](Controls& c, int n, const QVariant& v) {
         if (on(v))
             c.pressConveyor(n);
     }},
    {"conveyor/%1/name", Controls::kConveyorButtons, Kind::Text, 0, 0, nullptr,
     [](const Controls& c, const ShowImage&, int n) { return QVariant(c.conveyor().button(n).caption); }, nullptr},
    {"conveyor/mode", 0, Kind::Word, 0, 0, &kConveyorModes,
     [](const Controls& c, const ShowImage&, int) { return QVariant(kConveyorModes.value(int(c.conveyor().mode()))); },
     [](Controls& c, int, const QVariant& v) {
         c.setConveyorMode(Conveyor::Mode(kConveyorModes.indexOf(v.toString())));
     }},
    {"page", 0, Kind::Level, 0, ChannelDesk::kMaxPage, nullptr,
     [](const Controls& c, const ShowImage&, int) { return QVariant(c.page()); },
     [](Controls& c, int, const QVariant& v) { c.setPage(v.toInt()); }},
    {"fader/%1", Controls::kStrips, Kind::Level, 0, 255, nullptr,
     [](const Controls& c, const ShowImage&, int n) { return QVariant(c.fader(n)); },
     [](Controls& c, int n, const QVariant& v) { c.setFader(n, v.toInt()); }},
    {"fader/%1/manual", Controls::kStrips, Kind::Switch, 0, 1, nullptr,
     [](const Controls& c, const ShowImage&, int n) { return QVariant(int(c.faderManual(n))); },
     [](Controls& c, int n, const QVariant& v) { c.setFaderManual(n, on(v)); }},
    {"fader/%1/name", Controls::kStrips, Kind::Text, 0, 0, nullptr,
     [](const Controls& c, const ShowImage& image, int n) {
         return QVariant(ChannelNames::storedName(image, c.page() + n));
     },
     nullptr},
    {"channel/%1", Controls::kChannels, Kind::Level, 0, 255, nullptr,
     [](const Controls& c, const ShowImage&, int n) { return QVariant(c.channel(n)); },
     [](Controls& c, int n, const QVariant& v) { c.setChannel(n, v.toInt()); }},
    {"manual", 0, Kind::Switch, 0, 1, nullptr, [](const Controls& c, const ShowImage&, int) { return QVariant(int(c.manual())); },
     [](Controls& c, int, const QVariant& v) { c.setManual(on(v)); }},
    {"automat/%1/run", Controls::kAutomats, Kind::Switch, 0, 1, nullptr,
     [](const Controls& c, const ShowImage&, int n) { return QVariant(int(c.automatRun(n))); },
     [](Controls& c, int n, const QVariant& v) { c.setAutomatRun(n, on(v)); }},
    {"automat/%1/with-show", Controls::kAutomats, Kind::Switch, 0, 1, nullptr,
     [](const Controls& c, const ShowImage&, int n) { return QVariant(int(c.automatWithShow(n))); },
     [](Controls& c, int n, const QVariant& v) { c.setAutomatWithShow(n, on(v)); }},
    {"handscan/priority", 0, Kind::Switch, 0, 1, nullptr,
     [](const Controls& c, const ShowImage&, int) { return QVariant(int(c.handPriority())); },
     [](Controls& c, int, const QVariant& v) { c.setHandPriority(on(v)); }},
    {"handscan/xy", 0, Kind::Pair, 0, 255, nullptr,
     [](const Controls& c, const ShowImage&, int) { return QVariant(QVariantList{c.handX(), c.handY()}); },
     [](Controls& c, int, const QVariant& v) {
         const QVariantList xy = v.toList();
         c.setHandPosition(xy[0].toInt(), xy[1].toInt());
     }},
    {"keys", 0, Kind::Switch, 0, 1, nullptr, [](const Controls& c, const ShowImage&, int) { return QVariant(int(c.keys())); },
     [](Controls& c, int, const QVariant& v) { c.setKeys(on(v)); }},
    {"conveyor/keys", 0, Kind::Switch, 0, 1, nullptr,
     [](const Controls& c, const ShowImage&, int) { return QVariant(int(c.conveyorKeys())); },
     [](Controls& c, int, const QVariant& v) { c.setConveyorKeys(on(v)); }},
    {"demo", 0, Kind::Switch, 0, 1, nullptr, [](const Controls& c, const ShowImage&, int) { return QVariant(int(c.demo())); },
     [](Controls& c, int, const QVariant& v) { c.setDemo(on(v)); }},
    {"scene", 0, Kind::Level, 1, 256, nullptr, [](const Controls& c, const ShowImage&, int) { return QVariant(c.scene()); },
     nullptr},
    {"scenes", 0, Kind::Level, 1, 256, nullptr, [](const Controls& c, const ShowImage&, int) { return QVariant(c.scenes()); },
     nullptr},
    {"clock", 0, Kind::Text, 0, 0, nullptr, [](const Controls& c, const ShowImage&, int) { return QVariant(c.clockText()); },
     nullptr},
    {"period", 0, Kind::Level, 100, 28900, nullptr,
     [](const Controls& c, const ShowImage&, int) { return QVariant(c.period()); }, nullptr},
    {"playing", 0, Kind::Switch, 0, 1, nullptr,
     [](const Controls& c, const ShowImage&, int) { return QVariant(int(c.playing())); }, nullptr},
    {"link", 0, Kind::Switch, 0, 1, nullptr, [](const Controls& c, const ShowImage&, int) { return QVariant(int(c.link())); },
     nullptr},
};

// One name: its family and its number in it (0 for a single name).
struct Entry {
    NamedControls::Info info;
    const Family* family;
    int n;
};

struct Table {
    QList<Entry> entries;
    QList<NamedControls::Info> infos;
    QHash<QString, int> index;

    Table()
    {
        for (const Family& f : kFamilies) {
            for (int n = f.count ? 1 : 0; n <= f.count; ++n) {
                const QString pattern = QString::fromLatin1(f.pattern);
                const QString name = f.count ? pattern.arg(n) : pattern;
                NamedControls::Info info{name, f.kind, f.min, f.max, f.words ? *f.words : QStringList{},
                                         f.write != nullptr};
                index.insert(name, int(entries.size()));
                entries.append({info, &f, n});
                infos.append(info);
            }
        }
    }
};

const Table& table()
{
    static const Table t;
    return t;
}

const Entry* entryOf(QStringView name)
{
    const Table& t = table();
    const auto it = t.index.constFind(name.toString());
    return it == t.index.cend() ? nullptr : &t.entries[*it];
}

// A whole number, whether it came as an integer, a boolean or a double without a fraction.
std::optional<int> wholeNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
        bool ok = false;
        const qlonglong n = value.toLongLong(&ok);
        if (ok && n >= INT32_MIN && n <= INT32_MAX)
            return int(n);
        return std::nullopt;
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e9)
            return int(d);
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

// The value the family's writer takes, or the reason it is refused.
std::variant<QVariant, QString> checked(const NamedControls::Info& info, const QVariant& value)
{
    const auto inRange = [&](const QVariant& v) -> std::optional<int> {
        const auto n = wholeNumber(v);
        if (n && *n >= info.min && *n <= info.max)
            return n;
        return std::nullopt;
    };
    const QString range = QStringLiteral("%1 takes %2..%3").arg(info.name).arg(info.min).arg(info.max);
    switch (info.kind) {
    case Kind::Press:
    case Kind::Switch:
        if (!value.isValid())
            return QVariant(1);
        [[fallthrough]];
    case Kind::Level:
        if (const auto n = inRange(value))
            return QVariant(*n);
        return range;
    case Kind::Word:
        if (value.typeId() == QMetaType::QString && info.words.contains(value.toString()))
            return value;
        // Words that are numbers ("2" beats a scene) also come as the number.
        if (const auto n = wholeNumber(value); n && info.words.contains(QString::number(*n)))
            return QVariant(QString::number(*n));
        return QStringLiteral("%1 takes one of %2").arg(info.name, info.words.join(QStringLiteral(", ")));
    case Kind::Pair: {
        const QVariantList xy = value.toList();
        if (value.typeId() == QMetaType::QVariantList && xy.size() == 2 && inRange(xy[0]) && inRange(xy[1]))
            return QVariant(QVariantList{*inRange(xy[0]), *inRange(xy[1])});
        return QStringLiteral("%1 takes two numbers %2..%3").arg(info.name).arg(info.min).arg(info.max);
    }
    case Kind::Text:
        break;
    }
    return QStringLiteral("%1 takes no value").arg(info.name);
}

}  // namespace

NamedControls::NamedControls(Controls& controls, const ShowImage& image, QObject* parent)
    : QObject(parent), controls_(controls), image_(image)
{
    for (const Entry& e : table().entries)
        shown_.append(e.family->read(controls_, image_, e.n));
    // Whatever the controls announce, the names are looked at again once the event
    // loop has finished the turn: a drag of a fader sends one change, not dozens.
    const QMetaObject* meta = controls_.metaObject();
    const QMetaMethod scan = metaObject()->method(metaObject()->indexOfMethod("scheduleScan()"));
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        if (meta->method(i).methodType() == QMetaMethod::Signal)
            connect(&controls_, meta->method(i), this, scan);
    }
}

const QList<NamedControls::Info>& NamedControls::all()
{
    return table().infos;
}

const NamedControls::Info* NamedControls::find(QStringView name)
{
    const Entry* e = entryOf(name);
    return e ? &e->info : nullptr;
}

std::optional<QString> NamedControls::apply(QStringView name, const QVariant& value)
{
    if (std::optional<QString> refused = refusal(name, value))
        return refused;
    const Entry* e = entryOf(name);
    e->family->write(controls_, e->n, std::get<QVariant>(checked(e->info, value)));
    return std::nullopt;
}

std::optional<QString> NamedControls::refusal(QStringView name, const QVariant& value)
{
    const Entry* e = entryOf(name);
    if (!e)
        return QStringLiteral("no control %1").arg(name);
    if (!e->info.writable)
        return QStringLiteral("%1 cannot be set").arg(name);
    const auto result = checked(e->info, value);
    if (const QString* refused = std::get_if<QString>(&result))
        return *refused;
    return std::nullopt;
}

QVariant NamedControls::valueOfText(QStringView name, const QString& text)
{
    const Info* info = find(name);
    const QString trimmed = text.trimmed();
    if (!info || trimmed.isEmpty())
        return {};
    if (info->kind == Kind::Word)
        return trimmed;
    QVariantList numbers;
    for (const QString& word : trimmed.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int n = word.toInt(&ok);
        if (!ok)
            return trimmed;   // refused as it is
        numbers.append(n);
    }
    return numbers.size() == 1 ? numbers.first() : QVariant(numbers);
}

QVariant NamedControls::value(QStringView name) const
{
    const Entry* e = entryOf(name);
    return e ? e->family->read(controls_, image_, e->n) : QVariant();
}

QList<std::pair<QString, QVariant>> NamedControls::snapshot() const
{
    QList<std::pair<QString, QVariant>> states;
    for (const Entry& e : table().entries)
        states.append({e.info.name, e.family->read(controls_, image_, e.n)});
    return states;
}

void NamedControls::scheduleScan()
{
    if (std::exchange(scanPending_, true))
        return;
    QTimer::singleShot(0, this, &NamedControls::scan);
}

void NamedControls::scan()
{
    scanPending_ = false;
    const auto& entries = table().entries;
    for (int i = 0; i < entries.size(); ++i) {
        QVariant now = entries[i].family->read(controls_, image_, entries[i].n);
        if (now != shown_[i]) {
            shown_[i] = now;
            emit changed(entries[i].info.name, now);
        }
    }
}

}  // namespace tavrelia
