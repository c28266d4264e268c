#include <QApplication>

#include "base_form.h"
#include "console.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrelia"));
    tavrelia::Console console;
    tavrelia::TBaseForm form(console);
    form.show();
    return QApplication::exec();
}
