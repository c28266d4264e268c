#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>
#include <utility>

#include "base_form.h"
#include "console.h"
#include "player/stop_signals.h"
#include "remote/remote_connection.h"
#include "stage_view.h"

// The window's entry. It lives in a module of its own that the launcher loads only
// when a window is wanted, so that the headless player never maps the widget library.
extern "C" __attribute__((visibility("default"))) int tavreliaGuiMain(int argc, char* argv[])
{
    // The 3D view's context is chosen before the application exists.
    tavrelia::StageView::requestDefaultFormat();
    QApplication app(argc, argv);
    // Also names the Linux settings file: ~/.config/Tavrelia/Tavrelia.conf
    QApplication::setOrganizationName(QStringLiteral("Tavrelia"));
    QApplication::setApplicationName(QStringLiteral("Tavrelia"));
    QApplication::setApplicationVersion(QStringLiteral(TAVRELIA_VERSION));
    // The desktop entry's name, by which the window system ties the window to its entry
    // and icon; the icon itself also when the program runs from its build tree.
    QGuiApplication::setDesktopFileName(QStringLiteral("tavrelia"));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("tavrelia"), QIcon(QStringLiteral(":/tavrelia.png"))));

    // The program speaks Russian: so do the standard buttons and file dialogs.
    QTranslator qtRussian;
    if (qtRussian.load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtRussian);

    tavrelia::Console console;
    tavrelia::RemoteConnection::add(console);
    tavrelia::TBaseForm form(console);
    // SIGTERM, SIGHUP (a logout) or SIGINT: nobody will answer a dialog any more. The
    // show in memory goes to the autosave file and the program ends, leaving every
    // event loop, a dialog's too, without the close sequence and its questions.
    tavrelia::StopSignals stopSignals;
    bool ended = false;
    QObject::connect(&stopSignals, &tavrelia::StopSignals::received, &form, [&console, &ended] {
        if (std::exchange(ended, true))
            return;
        const tavrelia::FileResult saved = console.showFiles.autosave();
        if (!saved.done())
            std::fprintf(stderr, "tavrelia: %s\n", qPrintable(saved.error));
        QApplication::exit(0);
    });
    form.FormCreate();
    if (ended)   // during a start-up message
        return 0;
    form.show();
    // Closing the window runs its close sequence; the last window closed ends the loop.
    return QApplication::exec();
}
