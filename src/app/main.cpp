#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "base_form.h"
#include "console.h"

// The window's entry. It lives in a module of its own that the launcher loads only
// when a window is wanted, so that the headless player never maps the widget library.
extern "C" __attribute__((visibility("default"))) int tavreliaGuiMain(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Also names the Linux settings file: ~/.config/Tavrelia/Tavrelia.conf
    QApplication::setOrganizationName(QStringLiteral("Tavrelia"));
    QApplication::setApplicationName(QStringLiteral("Tavrelia"));
    QApplication::setApplicationVersion(QStringLiteral(TAVRELIA_VERSION));

    // The program speaks Russian: so do the standard buttons and file dialogs.
    QTranslator qtRussian;
    if (qtRussian.load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtRussian);

    tavrelia::Console console;
    tavrelia::TBaseForm form(console);
    form.FormCreate();
    form.show();
    // Closing the window runs its close sequence; the last window closed ends the loop.
    return QApplication::exec();
}
