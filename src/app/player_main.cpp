#include "player_main.h"

#include <QCoreApplication>

#include <cstdio>

#include "console.h"
#include "player/player_options.h"
#include "player/show_player.h"
#include "player/stop_signals.h"
#include "remote/remote_server.h"

namespace {

// --remote: the phone remote on the port of Tavrelia.conf, before anything is sent,
// so that a remote that cannot start ends the player as a wrong setting does.
bool startRemote(tavrelia::RemoteServer& remote)
{
    QString error;
    if (remote.start(tavrelia::RemoteSettings::load(), &error))
        return true;
    std::fprintf(stderr, "tavrelia: remote: %s\n", qPrintable(error));
    return false;
}

}  // namespace

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
    if (!player.prepare())
        return 1;
    tavrelia::RemoteServer remote(console.named);
    if (options->remote && !startRemote(remote))
        return 1;
    QObject::connect(&stopSignals, &tavrelia::StopSignals::received, &app,
                     &QCoreApplication::quit);
    player.start();
    if (remote.running()) {
        std::printf("remote on %s\n", qPrintable(remote.pageUrls().join(QStringLiteral(", "))));
        std::fflush(stdout);
    }
    QCoreApplication::exec();
    remote.stop();
    player.finish();
    return 0;
}
