#include "command_line.h"

#include <QStringList>

#include "player/player_options.h"

namespace tavrelia {

namespace {

// The options QGuiApplication and QApplication take for themselves, with one dash or
// two: those that take a value take the next argument.
struct QtOption {
    const char* name;
    bool takesValue;
};
constexpr QtOption kQtOptions[] = {
    {"platform", true},        {"platformpluginpath", true}, {"platformtheme", true},
    {"plugin", true},          {"qwindowgeometry", true},    {"qwindowicon", true},
    {"qwindowtitle", true},    {"session", true},            {"display", true},
    {"geometry", true},        {"style", true},              {"stylesheet", true},
    {"reverse", false},        {"widgetcount", false},
};
// Those Qt takes as one argument with its value.
constexpr const char* kQtJoinedOptions[] = {"style=", "stylesheet=", "qmljsdebugger="};

constexpr const char* kVersionNames[] = {"version", "v"};
constexpr const char* kHelpNames[] = {"help", "h"};

// The name without its one or two dashes, as Qt reads it.
QString optionName(const QString& argument)
{
    return argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
}

template <size_t N>
bool among(const QString& name, const char* const (&names)[N])
{
    for (const char* candidate : names) {
        if (name == QLatin1String(candidate))
            return true;
    }
    return false;
}

const QtOption* qtOption(const QString& name)
{
    for (const QtOption& option : kQtOptions) {
        if (name == QLatin1String(option.name))
            return &option;
    }
    return nullptr;
}

bool joinedQtOption(const QString& name)
{
    for (const char* prefix : kQtJoinedOptions) {
        if (name.startsWith(QLatin1String(prefix)))
            return true;
    }
    return false;
}

CommandLine refused(const QString& error)
{
    return {CommandLine::Action::Refused, error, {}};
}

}  // namespace

CommandLine CommandLine::classify(int argc, char** argv)
{
    if (PlayerOptions::requested(argc, argv))
        return {Action::Player, {}, {}};
    bool version = false;
    bool help = false;
    QString show;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (!argument.startsWith(QLatin1Char('-'))) {
            if (!show.isEmpty())
                return refused(QStringLiteral("unexpected argument: %1").arg(argument));
            show = argument;
            continue;
        }
        const QString name = optionName(argument);
        if (among(name, kVersionNames)) {
            version = true;
        } else if (among(name, kHelpNames)) {
            help = true;
        } else if (const QtOption* option = qtOption(name)) {
            if (option->takesValue && ++i == argc)
                return refused(QStringLiteral("%1 needs a value").arg(argument));
        } else if (!joinedQtOption(name)) {
            return refused(QStringLiteral("unknown option: %1").arg(argument));
        }
    }
    if (version)
        return {Action::Version, {}, {}};
    return {help ? Action::Help : Action::Window, {}, show};
}

QString CommandLine::version()
{
    return QStringLiteral("Tavrelia " TAVRELIA_VERSION "\n"
                          "License GPL-3.0-or-later: GNU GPL version 3 or later "
                          "<https://gnu.org/licenses/gpl.html>");
}

QString CommandLine::usage()
{
    return QStringLiteral(
               "Usage: tavrelia [WINDOW OPTIONS] [SHOW.tvl]\n"
               "       tavrelia --version | --help\n"
               "Opens the window of the DMX lighting controller, with the show file given.\n"
               "\n"
               "  --version, -v         print the name, version and licence\n"
               "  --help, -h            this text\n"
               "Qt's standard options for the window (one dash or two):\n"
               "  -platform NAME[:OPTIONS]  window system: xcb, wayland, offscreen ...\n"
               "  -display HOST:SCREEN      the X display instead of $DISPLAY\n"
               "  -qwindowgeometry WxH+X+Y  size and place of the main window\n"
               "  -geometry WxH+X+Y         the same, on X11\n"
               "  -qwindowtitle TITLE       title of the main window\n"
               "  -qwindowicon ICON         icon of the windows\n"
               "  -style NAME, -style=NAME  widget style, e.g. Fusion\n"
               "  -stylesheet FILE, -stylesheet=FILE\n"
               "                            a Qt style sheet\n"
               "  -reverse                  lay the window out right to left\n"
               "  -platformtheme NAME, -platformpluginpath PATH, -plugin NAME,\n"
               "  -session ID, -widgetcount, -qmljsdebugger=PORT\n"
               "\n") +
           PlayerOptions::usage();
}

}  // namespace tavrelia
