#pragma once

#include <QGroupBox>

class QLabel;

namespace tavrelia {

class Console;
class TBaseForm;

// The group "Ableton Link" on the options tab: the desk in the Link session on the
// local network or not (the box in its title, kept as [Link] Enabled in
// Tavrelia.conf), and how many peers it shares the beat with.
class LinkPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit LinkPanel(TBaseForm& form);

private:
    void switched(bool on);
    void showSession();

    Console& console_;
    QLabel* peers_ = nullptr;
};

}  // namespace tavrelia
