#include "player/player_options.h"

#include <QCommandLineParser>

#include <cstring>

namespace tavrelia {

namespace {

// Those that make a command line the player's; --help alone is the whole program's.
constexpr const char* kOptionNames[] = {"play", "conveyor", "ini",     "recode", "backend", "mode", "automat1",
                                        "automat2", "hold", "verbose", "osc", "midi", "remote", "beat",
                                        "timecode"};

template <typename Value>
struct Named {
    const char* name;
    Value value;
};
// The items of "Плавность перехода  сцен ".
constexpr Named<int> kModes[] = {
    {"fadera", OutputEngine::Fadera},
    {"avtomat", OutputEngine::Avtomat},
    {"vykl", OutputEngine::Vykl},
};
constexpr Named<PlayerOptions::AutomatRun> kAutomatRuns[] = {
    {"off", PlayerOptions::AutomatRun::Off},
    {"alone", PlayerOptions::AutomatRun::Alone},
    {"with-show", PlayerOptions::AutomatRun::WithShow},
};

template <typename Value, size_t N>
std::optional<Value> named(const Named<Value> (&table)[N], const QString& name)
{
    for (const Named<Value>& entry : table) {
        if (name.trimmed().toLower() == QLatin1String(entry.name))
            return entry.value;
    }
    return std::nullopt;
}

}  // namespace

bool PlayerOptions::requested(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        // One dash or two, as the parser takes them.
        const char* argument = argv[i];
        if (argument[0] != '-')
            continue;
        argument += argument[1] == '-' ? 2 : 1;
        for (const char* name : kOptionNames) {
            const size_t length = std::strlen(name);
            if (std::strncmp(argument, name, length) == 0 &&
                (argument[length] == '\0' || argument[length] == '='))
                return true;
        }
    }
    return false;
}

std::optional<PlayerOptions> PlayerOptions::parse(const QStringList& arguments, QString* error)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption play(QStringLiteral("play"), {}, QStringLiteral("SHOW.tvl"));
    const QCommandLineOption conveyor(QStringLiteral("conveyor"));
    const QCommandLineOption ini(QStringLiteral("ini"), {}, QStringLiteral("FILE"));
    const QCommandLineOption recode(QStringLiteral("recode"), {}, QStringLiteral("FILE.tvd"));
    const QCommandLineOption backend(QStringLiteral("backend"), {}, QStringLiteral("NAME"));
    const QCommandLineOption mode(QStringLiteral("mode"), {}, QStringLiteral("NAME"));
    const QCommandLineOption automat1(QStringLiteral("automat1"), {}, QStringLiteral("RUN"));
    const QCommandLineOption automat2(QStringLiteral("automat2"), {}, QStringLiteral("RUN"));
    const QCommandLineOption hold(QStringLiteral("hold"));
    const QCommandLineOption verbose(QStringLiteral("verbose"));
    const QCommandLineOption osc(QStringLiteral("osc"));
    const QCommandLineOption midi(QStringLiteral("midi"));
    const QCommandLineOption remote(QStringLiteral("remote"));
    const QCommandLineOption beat(QStringLiteral("beat"), {}, QStringLiteral("SOURCE"));
    const QCommandLineOption timecode(QStringLiteral("timecode"));
    const QCommandLineOption help(QStringLiteral("help"));
    parser.addOptions({play, conveyor, ini, recode, backend, mode, automat1, automat2, hold, verbose, osc, midi, remote,
                       beat, timecode, help});

    auto fail = [error](const QString& text) {
        *error = text;
        return std::nullopt;
    };
    if (!parser.parse(QStringList{QStringLiteral("tavrelia")} + arguments))
        return fail(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first()));
    for (const QCommandLineOption* single : {&play, &ini, &recode, &backend, &mode, &automat1, &automat2, &beat}) {
        if (parser.values(*single).size() > 1)
            return fail(QStringLiteral("--%1 given twice").arg(single->names().first()));
    }

    PlayerOptions options;
    options.help = parser.isSet(help);
    options.showFile = parser.value(play);
    options.conveyor = parser.isSet(conveyor);
    options.iniFile = parser.value(ini);
    options.recodeFile = parser.value(recode);
    options.hold = parser.isSet(hold);
    options.verbose = parser.isSet(verbose);
    options.osc = parser.isSet(osc);
    options.midi = parser.isSet(midi);
    options.remote = parser.isSet(remote);
    options.timecode = parser.isSet(timecode);
    if (parser.isSet(beat)) {
        options.beat = parser.value(beat).trimmed().toLower();
        if (!QStringList{"tap", "midi", "link", "audio"}.contains(options.beat))
            return fail(QStringLiteral("unknown beat: %1 (tap, midi, link or audio)").arg(parser.value(beat)));
    }
    if (parser.isSet(backend)) {
        options.backend = InterfaceSettings::backendNamed(parser.value(backend));
        if (!options.backend)
            return fail(QStringLiteral("unknown backend: %1 (ftdi, serial or ola)").arg(parser.value(backend)));
    }
    if (parser.isSet(mode)) {
        const std::optional<int> transitions = named(kModes, parser.value(mode));
        if (!transitions)
            return fail(QStringLiteral("unknown mode: %1 (fadera, avtomat or vykl)").arg(parser.value(mode)));
        options.transitionMode = *transitions;
    }
    const QCommandLineOption* automatOptions[] = {&automat1, &automat2};
    for (size_t i = 0; i < options.automats.size(); ++i) {
        if (!parser.isSet(*automatOptions[i]))
            continue;
        const QString value = parser.value(*automatOptions[i]);
        const std::optional<AutomatRun> run = named(kAutomatRuns, value);
        if (!run)
            return fail(QStringLiteral("unknown automat run: %1 (off, alone or with-show)").arg(value));
        options.automats[i] = *run;
    }
    if (options.help)
        return options;
    if (options.timecode && !options.beat.isEmpty())
        return fail(QStringLiteral("give --beat or --timecode, not both: chasing timecode changes the scenes"));
    if (options.conveyor && !options.showFile.isEmpty())
        return fail(QStringLiteral("give --play SHOW.tvl or --conveyor, not both"));
    if (!options.iniFile.isEmpty() && !options.conveyor)
        return fail(QStringLiteral("--ini names a conveyor list: give --conveyor too"));
    if (!options.conveyor && options.showFile.isEmpty())
        return fail(QStringLiteral("nothing to play: give --play SHOW.tvl or --conveyor"));
    return options;
}

QString PlayerOptions::usage()
{
    return QStringLiteral(
        "Usage: tavrelia --play SHOW.tvl [options]\n"
        "       tavrelia --conveyor [--ini FILE] [options]\n"
        "Plays a show without a window, from its first scene in its own tempo.\n"
        "\n"
        "  --play SHOW.tvl    the show to play\n"
        "  --conveyor         play the conveyor's shows one after another, a show at\n"
        "                     each wrap, from the first (the list of Tavy.ini in the\n"
        "                     show folder)\n"
        "  --ini FILE         the conveyor list from this file instead\n"
        "  --recode FILE.tvd  route the channels through this recoding table\n"
        "  --backend NAME     ftdi, serial or ola (default: Tavrelia.conf)\n"
        "  --mode NAME        scene transitions: fadera (channel rates, the default),\n"
        "                     avtomat (in step with the tempo) or vykl (jumps)\n"
        "  --automat1 RUN     automat 1 with the show's settings: off (the default),\n"
        "                     alone (always) or with-show (while the show plays)\n"
        "  --automat2 RUN     the same for automat 2\n"
        "  --hold             on SIGINT/SIGTERM leave the last levels out, not zeros\n"
        "  --verbose          print every scene change\n"
        "  --osc              take OSC commands over UDP, with the port, address and\n"
        "                     feedback target of [OSC] in Tavrelia.conf\n"
        "  --midi             take MIDI surfaces and a MIDI clock on the devices and\n"
        "                     with the map of [MIDI] and [MIDI map] in Tavrelia.conf\n"
        "  --remote           serve the phone remote with the port, address and PIN\n"
        "                     of [Remote] in Tavrelia.conf\n"
        "  --beat SOURCE      change scenes on the beat of SOURCE: tap, midi (a MIDI\n"
        "                     clock, as --midi reads it), link (joins the Ableton Link\n"
        "                     session) or audio (the sound input); a scene a beat\n"
        "                     unless beat/per-scene is set over OSC or the remote\n"
        "  --timecode         chase the show's timecode list (SHOW.tc beside it) on\n"
        "                     the source of [Timecode] in Tavrelia.conf: mtc (MIDI\n"
        "                     timecode on the devices of [MIDI]) or ltc (an audio input)\n"
        "  --help             this text\n"
        "Without any of these options tavrelia opens its window.\n");
}

}  // namespace tavrelia
