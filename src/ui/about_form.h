#pragma once

#include <QDialog>

namespace tavrelia {

// The about window: the program's name, title and version, and a close button.
class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);
};

}  // namespace tavrelia
