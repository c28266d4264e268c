#pragma once

#include <QOpenGLWidget>

#include "output/device_feed.h"
#include "stage_renderer.h"

namespace tavrelia {

// The GL surface of the 3D window. It draws the last frame of the device tables it
// was given; a repaint of the window (expose, resize) draws that frame again.
class StageView : public QOpenGLWidget {
    Q_OBJECT
public:
    explicit StageView(QWidget* parent = nullptr);
    ~StageView() override;

    void showFrame(const DeviceTables& devices);
    int framesDrawn() const { return framesDrawn_; }

    // A compatibility context with depth and double buffering for every GL surface of
    // the program: must be set before the application object exists.
    static void requestDefaultFormat();
    // Whether this display can give such a context at all (never on the offscreen
    // platform, where a GL widget cannot be created safely).
    static bool available();

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;

private:
    void releaseGL();

    StageRenderer renderer_;
    DeviceTables devices_;
    int framesDrawn_ = 0;
};

}  // namespace tavrelia
