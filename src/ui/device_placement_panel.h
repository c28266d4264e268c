#pragma once

#include <array>

#include <QGroupBox>

#include "view3d/device_placement.h"

class QCheckBox;
class QGridLayout;
class QLabel;
class QScrollBar;

namespace tavrelia {

class TBaseForm;
class Tform3Dtavr;

// The group "Позиционирование приборов " on the options tab: places up to 32 devices
// for the 3D viewer, and the button that opens the viewer.
class DevicePlacementPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit DevicePlacementPanel(TBaseForm& form);

    Tform3Dtavr* viewer() const { return viewer_; }

    void ScrollBarNomberDevChange(int n);

private:
    using Axis = DevicePlacement::Axis;
    using ParValue = DevicePlacement::ParValue;
    struct AxisControls {
        QScrollBar* bar = nullptr;
        QCheckBox* fix = nullptr;
        const char* caption = nullptr;
    };

    void buildControls();
    QWidget* buildTypeButtons();
    void buildAxes(QGridLayout* grid, int row);
    void buildParBars(QGridLayout* grid, int row);
    void axisBarChanged(Axis axis, int position);
    void showFixCaption(Axis axis, uint8_t value);
    AxisControls& axis(Axis a) { return axes_[static_cast<int>(a)]; }

    DevicePlacement placement_;
    Tform3Dtavr* viewer_ = nullptr;
    QScrollBar* scrollBarNomberDev_ = nullptr;
    QLabel* labelNomberPosDevice_ = nullptr;
    std::array<AxisControls, 3> axes_{};
};

}  // namespace tavrelia
