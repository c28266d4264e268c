#pragma once

#include <QWidget>

class QLabel;
class QTimer;

namespace tavrelia {

class Console;
class StageView;
class TBaseForm;

// The 3D viewer window: the placed devices and their beams, redrawn from the device
// feed after each output tick, at most every 33 ms. Created hidden with the main
// window; its GL surface is made when it is first opened. Where the display gives no
// usable GL it says so in text instead.
class Tform3Dtavr : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 325;   // and as high: the window is square
    static constexpr int kFramePeriodMs = 33;

    explicit Tform3Dtavr(TBaseForm& form);

    // SpeedButton3DonClick: shows the window, the same one every time.
    void open();
    // Draws a frame when the output tick asked for one, otherwise does nothing.
    void Timer3DTimer();
    // Null until first opened, and where there is no GL.
    StageView* view() const { return view_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildContent();

    Console& console_;
    StageView* view_ = nullptr;
    QLabel* noGl_ = nullptr;
    QTimer* timer3D_ = nullptr;
};

}  // namespace tavrelia
