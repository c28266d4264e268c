#include "help_window.h"

#include <QTextBrowser>
#include <QVBoxLayout>

// The pages are compiled into a static library: register them before first use.
static void initHelpResources()
{
    Q_INIT_RESOURCE(tavrelia);
}

namespace tavrelia {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    initHelpResources();
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Справка Tavrelia"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenExternalLinks(true);
    layout->addWidget(browser_);
    resize(640, 560);
}

void HelpWindow::showContents()
{
    browser_->setSource(QUrl(QString::fromLatin1(kContents)));
    show();
    raise();
    activateWindow();
}

}  // namespace tavrelia
