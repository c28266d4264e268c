#pragma once

#include <QGroupBox>

class QCheckBox;

namespace tavrelia {

class Console;
class ElidedLabel;
class TBaseForm;

// The group of Ableton Link on the options tab: the desk in the Link session on the
// local network or not (its box "Ableton Link", kept as [Link] Enabled in
// Tavrelia.conf), and how many peers it shares the beat with.
class LinkPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit LinkPanel(TBaseForm& form);

private:
    void switched(bool on);
    void showSession();

    Console& console_;
    QCheckBox* box_ = nullptr;
    ElidedLabel* peers_ = nullptr;
};

}  // namespace tavrelia
