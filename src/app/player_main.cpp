#include "player_main.h"

#include <QCoreApplication>

#include <cstdio>

#include "console.h"
#include "player/player_options.h"
#include "player/show_player.h"
#include "player/stop_signals.h"

int runPlayer(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    // Handled before anything starts, so an early signal still ends the run cleanly.
    tavrelia::StopSignals stopSignals;
    // Also names the settings file: ~/.config/Tavrelia/Tavrelia.conf
    QCoreApplication::setOrganizationName(QStringLiteral("Tavrelia"));
    QCoreApplication::setApplicationName(QStringLiteral("Tavrelia"));

    QString error;
    const auto options =
        tavrelia::PlayerOptions::parse(QCoreApplication::arguments().mid(1), &error);
    if (!options) {
        std::fprintf(stderr, "tavrelia: %s\n\n%s", qPrintable(error),
                     qPrintable(tavrelia::PlayerOptions::usage()));
        return 2;
    }
    if (options->help) {
        std::fputs(qPrintable(tavrelia::PlayerOptions::usage()), stdout);
        return 0;
    }

    tavrelia::Console console;
    tavrelia::ShowPlayer player(console, *options);
    if (const std::optional<int> refused = player.prepare())
        return *refused;
    QObject::connect(&stopSignals, &tavrelia::StopSignals::received, &app,
                     &QCoreApplication::quit);
    player.start();
    QCoreApplication::exec();
    player.finish();
    return 0;
}
