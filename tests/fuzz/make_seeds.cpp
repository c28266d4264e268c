// Writes the fuzz targets' seed corpora, each made by the program's own writers:
// a whole file, one cut short and one too long, per target.
//   make_fuzz_seeds OUTPUT_FOLDER

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <string_view>
#include <utility>

#include "console.h"
#include "control/named_controls.h"
#include "control/pin_owner.h"
#include "midi/midi_link.h"
#include "midi/midi_map.h"
#include "remote/remote_settings.h"
#include "surfaces/osc_settings.h"
#include "output/interface_settings.h"
#include "output/recode_table_file.h"
#include "timecode/timecode_list.h"
#include "surfaces/osc_codec.h"

using namespace tavrelia;

namespace {

QDir output;

void put(const char* target, const char* name, const QByteArray& bytes)
{
    output.mkpath(QString::fromLatin1(target));
    QFile file(output.filePath(QStringLiteral("%1/%2").arg(QString::fromLatin1(target), QString::fromLatin1(name))));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        std::exit(1);
    }
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        std::exit(1);
    }
    return file.readAll();
}

// A whole file, the same cut short, and the same with its start again after it.
void putThree(const char* target, const QByteArray& whole)
{
    put(target, "whole", whole);
    put(target, "short", whole.left(whole.size() - 1));
    put(target, "long", whole + whole.left(128));
}

// A show that uses what a file can hold: every scene, names, rates, pictures, the
// hand-scan selection and both automats.
void makeShow(Console& console, const QString& path)
{
    ShowImage& image = console.image;
    for (int scene = 0; scene < 256; ++scene) {
        for (int channel = 1; channel < 256; ++channel)
            image.DataWrite(static_cast<uint8_t>(scene), static_cast<uint8_t>(channel), scene ^ channel);
    }
    image[ShowImage::kLastScene] = 255;
    image[ShowImage::kSceneTempo] = 10;
    for (int channel = 1; channel < 256; ++channel) {
        image[ShowImage::rateAddress(channel)] = static_cast<uint8_t>(channel);
        image[ShowImage::selectAddress(channel)] = channel % 7 == 0;
        image[ShowImage::pictureFlagAddress(channel % 16, channel)] = 1;
        image[ShowImage::pictureLevelAddress(channel % 16, channel)] = static_cast<uint8_t>(255 - channel);
    }
    ChannelNames::Fields names;
    for (size_t i = 0; i < names.size(); ++i)
        names[i] = QStringLiteral("Прибор %1").arg(i + 1);
    console.names.SaveEditAll(names);
    for (Automat* automat : {&console.automats.avtomat1, &console.automats.avtomat2}) {
        automat->setSpeed(Automat::kMinSpeed);
        automat->setChannel(Automat::kMaxChannel);
        automat->setMode(4);
    }
    if (!console.showFiles.SaveFileAs(path).done())
        std::exit(1);
}

void showSeeds(const QTemporaryDir& work)
{
    Console console;
    const QString path = work.filePath(QStringLiteral("show.tvl"));
    makeShow(console, path);
    putThree("show_file", contents(path));
}

void recodeSeeds(const QTemporaryDir& work)
{
    Console console;
    // Slots routed backwards, and entries a file can hold but the rows cannot.
    for (int i = 0; i < RecodeTableFile::kEntries; ++i)
        console.dmx.RecodeTable[i] = static_cast<uint16_t>(i < 200 ? 255 - i : 300 + i);
    const QString path = work.filePath(QStringLiteral("table.tvd"));
    QString error;
    if (!RecodeTableFile::save(console.dmx.RecodeTable, path, &error))
        std::exit(1);
    putThree("recode_table", contents(path));
}

void colorSeeds(const QTemporaryDir& work)
{
    Console console;
    for (int i = 0; i < 256; ++i) {
        console.colors.NameRed[i] = static_cast<uint8_t>(i);
        console.colors.ChannelPicture[i] = static_cast<uint8_t>(i % 40);
        console.deviceFeed.DevType[i] = static_cast<uint8_t>(i % 5);
        console.deviceFeed.DevX[i] = static_cast<uint8_t>(255 - i);
    }
    const QString path = work.filePath(QStringLiteral("tavrEdit.col"));
    if (!console.colorFile.SaveColorEdit(path).done())
        std::exit(1);
    putThree("color_file", contents(path));
}

void settingsSeeds(const QTemporaryDir& work)
{
    SettingsFile settings;
    for (int i = 0; i < SettingsFile::kConveyorFiles; i += 3)
        settings.conveyorFiles[i] = QStringLiteral("/home/свет/шоу %1.tvl").arg(i);
    settings.lastFile = QStringLiteral("Unit_001");
    const QString path = work.filePath(QStringLiteral("Tavy.ini"));
    if (!settings.write(path).isEmpty())
        std::exit(1);
    putThree("settings_file", contents(path));
}

// Every group of Tavrelia.conf, as the program writes them.
void confSeeds()
{
    SettingsStore store;
    InterfaceSettings interface;
    interface.backend = InterfaceSettings::Backend::Ola;
    interface.serialDevice = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R-if00-port0");
    interface.olaUniverse = 7;
    interface.olaPort = 9011;
    const OscSettings osc{true, 9000, QStringLiteral("127.0.0.1"), QStringLiteral("::1"), 9001};
    RemoteSettings remote;
    remote.enabled = true;
    remote.address = QStringLiteral("192.168.1.2");
    remote.sessionKey = QByteArray(32, 'k');
    const bool written = interface.save(store) && osc.save(store) && remote.save(store) &&
                         PinOwner(store).setPin(QStringLiteral("4711")) &&
                         store.write(QStringLiteral("MIDI"), {{QStringLiteral("Enabled"), QStringLiteral("on")},
                                                              {QStringLiteral("Device"), QStringLiteral("/dev/snd/midiC1D0")}}) &&
                         store.write(MidiMap::kGroup, {MidiMap::edit(QStringLiteral("fader/3"), MidiBinding{MidiBinding::Type::Cc, 1, 7})});
    if (!written)
        std::exit(1);
    putThree("tavrelia_conf", contents(store.path()));
}

// Command lines, the player's and the window's, their arguments separated by NUL
// bytes; the files named are those the target puts in its working folder.
void commandLineSeeds()
{
    using namespace std::string_view_literals;
    const std::pair<const char*, std::string_view> lines[] = {
        {"play", "--play\0show.tvl"sv},
        {"everything", "--play\0show.tvl\0--recode\0table.tvd\0--backend\0serial\0--mode\0vykl\0--hold\0--verbose"sv},
        {"short_table", "--play=show.tvl\0--recode=short.tvd"sv},
        {"short_show", "--play\0short.tvl\0--recode\0table.tvd"sv},
        {"help", "--help"sv},
        {"conveyor", "--conveyor\0--ini\0list.ini\0--automat1\0alone\0--automat2\0with-show"sv},
        {"version", "--version"sv},
        {"window", "-platform\0offscreen\0--qwindowtitle\0Stage\0-style=Fusion\0-reverse"sv},
        {"unknown", "--versoin"sv},
    };
    for (const auto& [name, line] : lines)
        put("command_line", name, QByteArray(line.data(), static_cast<qsizetype>(line.size())));
}

// OSC datagrams as the feedback writes them: a fader in both forms of numbers, a
// word, the hand-scan pair, a read-only text; and one cut short.
void oscSeeds()
{
    const std::pair<const char*, std::pair<QString, QVariant>> messages[] = {
        {"fader", {QStringLiteral("fader/3"), 200}},
        {"mode", {QStringLiteral("mode"), QStringLiteral("vykl")}},
        {"pair", {QStringLiteral("handscan/xy"), QVariantList{12, 240}}},
        {"blackout", {QStringLiteral("blackout"), 1}},
        {"clock", {QStringLiteral("clock"), QStringLiteral("1ч 2м 3с ")}},
    };
    for (const auto& [name, message] : messages)
        put("osc_message", name, OscCodec::encode(message.first, message.second, false));
    put("osc_message", "fader_float", OscCodec::encode(QStringLiteral("fader/3"), 51, true));
    put("osc_message", "short", OscCodec::encode(QStringLiteral("tempo"), 44, false).chopped(3));
}

// Messages of the remote's live channel: one for each kind of control the names list,
// with a value at the end of its range, and one naming a state that cannot be set.
void remoteMessageSeeds()
{
    using Kind = NamedControls::Kind;
    QList<Kind> seen;
    for (const NamedControls::Info& info : NamedControls::all()) {
        if (seen.contains(info.kind))
            continue;
        seen.append(info.kind);
        QJsonObject message{{QStringLiteral("control"), info.name}};
        switch (info.kind) {
        case Kind::Level:
            message.insert(QStringLiteral("value"), info.max);
            break;
        case Kind::Switch:
            message.insert(QStringLiteral("value"), 1);
            break;
        case Kind::Word:
            message.insert(QStringLiteral("value"), info.words.value(0));
            break;
        case Kind::Pair:
            message.insert(QStringLiteral("value"), QJsonArray{info.min, info.max});
            break;
        case Kind::Press:
        case Kind::Text:
            message.insert(QStringLiteral("id"), static_cast<int>(seen.size()));
            break;
        }
        const QString name = QString(info.name).replace(QLatin1Char('/'), QLatin1Char('_'));
        put("remote_message", name.toLatin1().constData(), QJsonDocument(message).toJson(QJsonDocument::Compact));
    }
}

// A MIDI map as learning writes it, a NUL byte, and what a surface sends: the desk's
// own feedback with its states moved, a clock switched on by a pad with a controller
// split by its pulses, notes and a 14-bit pair to learn from; and a map with a line of
// each fault.
void midiSeeds()
{
    using namespace std::string_view_literals;
    const auto bytes = [](std::string_view text) { return QByteArray(text.data(), static_cast<qsizetype>(text.size())); };
    const std::pair<const char*, const char*> bindings[] = {
        {"fader/3", "cc 1 7"},    {"fader/4", "cc14 1 8"}, {"picture/2", "note 1 36"},
        {"blackout", "note 2 1"}, {"mode", "cc 1 20"},     {"tempo", "cc 16 3"},
        {"page", "cc14 3 0"},     {"beat/follow", "note 10 1"},
    };
    QTemporaryDir folder;
    SettingsStore store(folder.filePath(QStringLiteral("Tavrelia.conf")));
    store.write(QStringLiteral("Interface"), {{QStringLiteral("Backend"), QStringLiteral("serial")}});
    for (const auto& [name, binding] : bindings)
        store.write(MidiMap::kGroup, {MidiMap::edit(QString::fromLatin1(name), MidiBinding::parse(QString::fromLatin1(binding)))});
    QByteArray map = contents(store.path());
    map.append('\0');

    Console console;
    MidiLink link(console.named, console.live, store);
    MidiSurface& surface = link.surface();
    link.loadMap();
    const std::pair<const char*, QVariant> states[] = {
        {"page", 100},  {"fader/3", 200}, {"fader/4", 77}, {"picture/2", 1},
        {"blackout", 1}, {"tempo", 120},   {"mode", QStringLiteral("vykl")},
    };
    for (const auto& [name, value] : states)
        console.named.apply(QString::fromLatin1(name), value);
    QByteArray feedback;
    QObject::connect(&surface, &MidiSurface::output, [&](const QByteArray& sent) { feedback += sent; });
    surface.sendAll();
    put("midi_input", "feedback", map + feedback);

    QByteArray clock = bytes("\x99\x01\x7f\xfa"sv);
    for (int pulse = 0; pulse < 48; ++pulse)
        clock += pulse == 10 ? bytes("\xb0\x07\xf8\x40"sv) : bytes("\xf8"sv);
    put("midi_input", "clock", map + clock + bytes("\xfc"sv));

    const QByteArray learn = bytes("\x90\x05\x7f\x80\x05\x00\xb2\x03\x0a\x23\x14\xb0\x07\x40"sv);
    put("midi_input", "learn", map + learn + learn + learn);

    put("midi_input", "faults",
        bytes("[MIDI map]\nfader/99=cc 1 8\nfader/4=cc 17 8\nplay=knob 1 2\nscene=cc 1 9\n"
              "fader/5 cc 1 9\nfader/6=cc14 2 40\nfader/7=cc 1 128\n\0\xb0\x07\x7f"sv));
}

}  // namespace

// A second of MIDI timecode at 30 frames across midnight, then a full frame; and a
// list as the desk writes it, with a comment and a line it cannot read.
void timecodeSeeds()
{
    QByteArray stream;
    const int fields[] = {20, 59, 59, 23 | 3 << 5};
    for (int q = 0; q < 120; ++q) {
        const int piece = q % 8;
        const int field = fields[piece / 2];
        stream += char(0xF1);
        stream += char(piece << 4 | ((piece % 2 ? field >> 4 : field) & 0x0F));
    }
    stream += QByteArray::fromHex("f07f7f010121020304f7");
    put("timecode_stream", "midnight", stream);
    TimecodeList list;
    list.setText(QStringLiteral("; intro\n00:00:01:00 go 2\nnot a row\n"));
    list.add({{0, 1, 2, 10}, QStringLiteral("picture/3"), QStringLiteral("1")});
    list.add({{0, 0, 0, 5}, QStringLiteral("conveyor/5"), {}});
    put("timecode_list", "written", list.text().toUtf8());
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds OUTPUT_FOLDER\n");
        return 2;
    }
    output = QDir(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir work;
    qputenv("XDG_CONFIG_HOME", work.filePath(QStringLiteral("config")).toUtf8());
    showSeeds(work);
    recodeSeeds(work);
    colorSeeds(work);
    settingsSeeds(work);
    confSeeds();
    commandLineSeeds();
    oscSeeds();
    remoteMessageSeeds();
    midiSeeds();
    timecodeSeeds();
    return 0;
}
