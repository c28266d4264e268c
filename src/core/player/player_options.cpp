#include "player/player_options.h"

#include <QCommandLineParser>

#include <cstring>

namespace tavrelia {

namespace {

constexpr const char* kOptionNames[] = {"play", "recode", "backend", "mode", "hold", "verbose", "help"};

struct ModeName {
    const char* name;
    int mode;
};
// The items of "Плавность перехода  сцен ".
constexpr ModeName kModes[] = {
    {"fadera", OutputEngine::Fadera},
    {"avtomat", OutputEngine::Avtomat},
    {"vykl", OutputEngine::Vykl},
};

std::optional<int> modeNamed(const QString& name)
{
    for (const ModeName& entry : kModes) {
        if (name.trimmed().toLower() == QLatin1String(entry.name))
            return entry.mode;
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
    const QCommandLineOption recode(QStringLiteral("recode"), {}, QStringLiteral("FILE.tvd"));
    const QCommandLineOption backend(QStringLiteral("backend"), {}, QStringLiteral("NAME"));
    const QCommandLineOption mode(QStringLiteral("mode"), {}, QStringLiteral("NAME"));
    const QCommandLineOption hold(QStringLiteral("hold"));
    const QCommandLineOption verbose(QStringLiteral("verbose"));
    const QCommandLineOption help(QStringLiteral("help"));
    parser.addOptions({play, recode, backend, mode, hold, verbose, help});

    auto fail = [error](const QString& text) {
        *error = text;
        return std::nullopt;
    };
    if (!parser.parse(QStringList{QStringLiteral("tavrelia")} + arguments))
        return fail(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first()));
    for (const QCommandLineOption* single : {&play, &recode, &backend, &mode}) {
        if (parser.values(*single).size() > 1)
            return fail(QStringLiteral("--%1 given twice").arg(single->names().first()));
    }

    PlayerOptions options;
    options.help = parser.isSet(help);
    options.showFile = parser.value(play);
    options.recodeFile = parser.value(recode);
    options.hold = parser.isSet(hold);
    options.verbose = parser.isSet(verbose);
    if (parser.isSet(backend)) {
        options.backend = InterfaceSettings::backendNamed(parser.value(backend));
        if (!options.backend)
            return fail(QStringLiteral("unknown backend: %1 (ftdi, serial or ola)").arg(parser.value(backend)));
    }
    if (parser.isSet(mode)) {
        const std::optional<int> named = modeNamed(parser.value(mode));
        if (!named)
            return fail(QStringLiteral("unknown mode: %1 (fadera, avtomat or vykl)").arg(parser.value(mode)));
        options.transitionMode = *named;
    }
    if (!options.help && options.showFile.isEmpty())
        return fail(QStringLiteral("nothing to play: give --play SHOW.tvl"));
    return options;
}

QString PlayerOptions::usage()
{
    return QStringLiteral(
        "Usage: tavrelia --play SHOW.tvl [options]\n"
        "Plays a show without a window, from its first scene in its own tempo.\n"
        "\n"
        "  --play SHOW.tvl    the show to play\n"

        "  --recode FILE.tvd  route the channels through this recoding table\n"
        "  --backend NAME     ftdi, serial or ola (default: Tavrelia.conf)\n"
        "  --mode NAME        scene transitions: fadera (channel rates, the default),\n"
        "                     avtomat (in step with the tempo) or vykl (jumps)\n"
        "  --hold             on SIGINT/SIGTERM leave the last levels out, not zeros\n"
        "  --verbose          print every scene change\n"
        "  --help             this text\n"
        "Without any of these options tavrelia opens its window.\n");
}

}  // namespace tavrelia
