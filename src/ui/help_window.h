#pragma once

#include <QWidget>

class QTextBrowser;

namespace tavrelia {

// The program's own help, HTML from the resources, in a window of its own that
// stays open beside the main window.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kContents = "qrc:/help/index.html";

    explicit HelpWindow(QWidget* parent = nullptr);
    // Shows the contents page and brings the window to the front.
    void showContents();
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_ = nullptr;
};

}  // namespace tavrelia
