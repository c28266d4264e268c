// Any bytes as a MIDI surface and the map it is played through: the input up to its
// first NUL byte is the text of Tavrelia.conf, the rest what one device sends. The map
// loads as the window loads it; the stream goes to the surface of a fresh console in
// pieces of 1..64 bytes (each piece's first byte sets its length, so messages often
// span two), with learning on for its middle third, a control chosen by the piece
// that starts it. What must hold:
// - a line named as bad changes nothing: without the bad lines the same map loads;
// - every state stays in its range (a fader 0..255, the tempo 10..170 ...);
// - what goes back to the surface is whole note and controller messages;
// - the file the learned bindings were written to reads back as the map in use.

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>
#include <chrono>

#include "console.h"
#include "control/named_controls.h"
#include "fuzz_support.h"
#include "midi/midi_link.h"
#include "midi/midi_map.h"
#include "settings/settings_store.h"
#include "output/interface_settings.h"

using namespace tavrelia;
using namespace std::chrono_literals;

namespace {

constexpr qsizetype kLongestPiece = 64;

bool sameMap(const MidiMap& a, const MidiMap& b)
{
    if (a.entries().size() != b.entries().size())
        return false;
    return std::all_of(a.entries().begin(), a.entries().end(), [&](const MidiMap::Entry& entry) {
        const MidiBinding* other = b.find(entry.first);
        return other && *other == entry.second;
    });
}

// The map of a settings file of this text, read by a store of its own.
MidiMap readMap(const QByteArray& text, QList<MidiMap::Fault>* faults = nullptr)
{
    const QString path = SettingsStore::filePath() + QStringLiteral(".check");
    fuzz::writeFile(path, text);
    return MidiMap::read(SettingsStore(path).group(MidiMap::kGroup), &MidiSurface::refusal, faults);
}

// The lines the link reports as bad ("line N: reason"), blanked out.
QByteArray withoutBadLines(const QByteArray& text, const QStringList& faults)
{
    static const QRegularExpression format(QStringLiteral("^line (\\d+): .+$"));
    QList<QByteArray> lines = text.split('\n');
    int previous = 0;
    for (const QString& fault : faults) {
        const QRegularExpressionMatch match = format.match(fault);
        FUZZ_REQUIRE(match.hasMatch());
        const int line = match.captured(1).toInt();
        FUZZ_REQUIRE(line > previous && line <= lines.size());
        lines[line - 1].clear();
        previous = line;
    }
    return lines.join('\n');
}

bool statesInRange(const NamedControls& named)
{
    using Kind = NamedControls::Kind;
    const QList<NamedControls::Info>& infos = NamedControls::all();
    const auto states = named.snapshot();   // in the same order
    FUZZ_REQUIRE(states.size() == infos.size());
    for (qsizetype i = 0; i < states.size(); ++i) {
        const NamedControls::Info& info = infos[i];
        const QVariant& value = states[i].second;
        switch (info.kind) {
        case Kind::Word:
            if (!info.words.contains(value.toString()))
                return false;
            break;
        case Kind::Pair:
            for (const QVariant& half : value.toList()) {
                if (half.toInt() < info.min || half.toInt() > info.max)
                    return false;
            }
            break;
        case Kind::Text:
            break;
        default:
            if (value.toInt() < info.min || value.toInt() > info.max)
                return false;
        }
    }
    return true;
}

// Note on (velocity 0 for off) and controller messages, three bytes each.
bool wholeMessages(const QByteArray& bytes)
{
    if (bytes.isEmpty() || bytes.size() % 3 != 0)
        return false;
    for (qsizetype i = 0; i < bytes.size(); i += 3) {
        const auto status = static_cast<uint8_t>(bytes[i]) & 0xF0;
        if ((status != 0x90 && status != 0xB0) || (bytes[i + 1] & 0x80) || (bytes[i + 2] & 0x80))
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const fuzz::Sandbox sandbox;
    static int argc = 1;
    static char name[] = "fuzz_midi_input";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static const QList<NamedControls::Info>& controls = NamedControls::all();

    const QByteArray input = fuzz::bytesOf(data, size);
    const qsizetype split = input.indexOf('\0');
    const QByteArray conf = split < 0 ? input : input.left(split);
    const QByteArray stream = split < 0 ? QByteArray() : input.mid(split + 1);
    QDir().mkpath(QFileInfo(SettingsStore::filePath()).path());
    fuzz::writeFile(SettingsStore::filePath(), conf);

    Console console;
    TapTempo::Clock::time_point now{};
    console.live.setClock([&now] { return now; });
    MidiLink link(console.named, console.live, console.store);
    MidiSurface& surface = link.surface();
    link.loadMap();
    FUZZ_REQUIRE(sameMap(surface.map(), readMap(conf)));
    QList<MidiMap::Fault> left;
    FUZZ_REQUIRE(sameMap(surface.map(), readMap(withoutBadLines(conf, link.faults()), &left)));
    FUZZ_REQUIRE(left.isEmpty());

    QObject::connect(&surface, &MidiSurface::output,
                     [](const QByteArray& bytes) { FUZZ_REQUIRE(wholeMessages(bytes)); });
    surface.sendAll();
    const qsizetype third = stream.size() / 3;
    for (qsizetype at = 0; at < stream.size();) {
        const auto first = static_cast<uint8_t>(stream[at]);
        if (at >= third && at < 2 * third) {
            if (surface.learning().isEmpty())
                surface.learn(controls[first % controls.size()].name);
        } else if (!surface.learning().isEmpty()) {
            surface.learn(QString());
        }
        const qsizetype length = std::min(first % kLongestPiece + 1, stream.size() - at);
        surface.input(QStringLiteral("device"), stream.mid(at, length));
        at += length;
        now += length * 320us;   // a byte's time at 31,250 baud
        QCoreApplication::processEvents();   // the states' scan and their feedback
        FUZZ_REQUIRE(statesInRange(console.named));
    }
    FUZZ_REQUIRE(sameMap(surface.map(), readMap(fuzz::readAll(SettingsStore::filePath()))));
    return 0;
}
