#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

#include <utility>

#include "base_form.h"
#include "command_line.h"
#include "console.h"
#include "player/stop_signals.h"
#include "stage_view.h"

// The window's entry. It lives in a module of its own that the launcher loads only
// when a window is wanted, so that the headless player never maps the widget library.
extern "C" __attribute__((visibility("default"))) int tavreliaGuiMain(int argc, char* argv[])
{
    // Named before QApplication takes its own options out of argv.
    const QString show = tavrelia::CommandLine::classify(argc, argv).show;
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
    tavrelia::TBaseForm form(console);
    // SIGTERM, SIGHUP (a logout) or SIGINT: nobody will answer a dialog any more. The
    // close sequence runs without its questions, the show in memory into the autosave
    // file, and the program ends, leaving every event loop, a dialog's too.
    tavrelia::StopSignals stopSignals;
    bool ended = false;
    QObject::connect(&stopSignals, &tavrelia::StopSignals::received, &form, [&form, &ended] {
        if (std::exchange(ended, true))
            return;
        form.endWithoutAsking();
        QApplication::exit(0);
    });
    // The desktop session ends (it may still be cancelled): everything is written.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form, [&form] { form.saveWithoutAsking(); },
                     Qt::DirectConnection);
    form.FormCreate(show.isEmpty() ? show : QFileInfo(show).absoluteFilePath());
    if (ended)   // during a start-up message
        return 0;
    form.show();
    // Closing the window runs its close sequence; the last window closed ends the loop.
    return QApplication::exec();
}
