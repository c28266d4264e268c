#pragma once

#include "mouse_pad.h"

namespace tavrelia {

// The 256 x 256 pad of the hand scan window. It paints only its outline and centre
// lines, so the marker behind it shows through.
class HandScanPad : public MousePad {
    Q_OBJECT
public:
    static constexpr int kSide = 256;
    explicit HandScanPad(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace tavrelia
