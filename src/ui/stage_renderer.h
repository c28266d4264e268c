#pragma once

#include "output/device_feed.h"

struct GLUquadric;

namespace tavrelia {

struct StageDevice;

// Draws the stage box and the placed devices with fixed-function GL and GLU
// quadrics into whatever context is current. Knows nothing of widgets, so the
// benchmark drives it on an offscreen surface.
class StageRenderer {
public:
    StageRenderer() = default;
    ~StageRenderer() = default;
    StageRenderer(const StageRenderer&) = delete;
    StageRenderer& operator=(const StageRenderer&) = delete;

    // Needs the context current; release() before the context goes.
    void initialize();
    void release();
    // A square viewport of side pixels, the perspective and the eye.
    void setProjection(int width, int height);
    void render(const DeviceTables& devices);

private:
    void drawStage();
    void drawDevice(const StageDevice& device);

    GLUquadric* solids_ = nullptr;   // bodies and lamps
    GLUquadric* beams_ = nullptr;
};

}  // namespace tavrelia
