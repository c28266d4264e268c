#include <QApplication>

#include "base_form.h"
#include "console.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Also names the Linux settings file: ~/.config/Tavrelia/Tavrelia.conf
    QApplication::setOrganizationName(QStringLiteral("Tavrelia"));
    QApplication::setApplicationName(QStringLiteral("Tavrelia"));
    QApplication::setApplicationVersion(QStringLiteral(TAVRELIA_VERSION));

    tavrelia::Console console;
    tavrelia::TBaseForm form(console);
    form.FormCreate();
    form.show();
    // Closing the window runs its close sequence; the last window closed ends the loop.
    return QApplication::exec();
}
