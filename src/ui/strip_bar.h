#pragma once

#include <QScrollBar>

namespace tavrelia {

// A horizontal strip bar drawn as a filled level: the part before the handle is
// tinted and the handle is solid, so a row of bars reads at a glance.
class StripBar : public QScrollBar {
    Q_OBJECT
public:
    explicit StripBar(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace tavrelia
