// One frame of the 3D view: all 34 fed devices placed and throwing beams, drawn into a
// 325 x 325 offscreen framebuffer by whatever GL the display gives. Run it under
// xvfb-run with LIBGL_ALWAYS_SOFTWARE=1 for Mesa's software renderer.
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <sys/resource.h>

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>

#include "output/device_feed.h"
#include "stage_renderer.h"
#include "stage_view.h"

namespace {

constexpr int kSide = 325;

// CPU time of the whole process: the software renderer draws on threads of its own,
// and on a loaded machine the wall time says more about the neighbours.
double processMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// Heads, scanners and strobe heads across the top, PAR cans along the floor; every
// device lit in its own colour and turned its own way.
tavrelia::DeviceTables fullRig()
{
    tavrelia::DeviceTables t;
    for (int d = 1; d <= tavrelia::DeviceFeed::kDevices; ++d) {
        const bool par = d > 18;
        t.DevType[d] = par ? 3 : (d >= 7 && d <= 12 ? 2 : 1);
        t.DevX[d] = static_cast<uint8_t>(20 + (d % 18) * 12);
        t.DevY[d] = par ? 20 : 230;
        t.DevZ[d] = static_cast<uint8_t>(par ? 200 : 90);
        t.DevPan[d] = static_cast<uint8_t>(60 + d * 5);
        t.DevTilt[d] = static_cast<uint8_t>(90 + d * 3);
        t.DevWidth[d] = static_cast<uint8_t>(d * 7);
        t.DevRed[d] = static_cast<uint8_t>(d * 40);
        t.DevGreen[d] = static_cast<uint8_t>(255 - d * 7);
        t.DevBlue[d] = static_cast<uint8_t>(d * 90);
        t.DevIntensity[d] = 255;
    }
    return t;
}

void BM_StageFrame34Devices(benchmark::State& state)
{
    QOpenGLContext context;
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!context.create() || !context.makeCurrent(&surface)) {
        state.SkipWithError("no GL context on this display");
        return;
    }
    QOpenGLFramebufferObject target(kSide, kSide, QOpenGLFramebufferObject::Depth);
    target.bind();
    tavrelia::StageRenderer renderer;
    renderer.initialize();
    renderer.setProjection(kSide, kSide);
    const tavrelia::DeviceTables rig = fullRig();
    const double cpu0 = processMs();
    for (auto _ : state) {
        renderer.render(rig);
        glFinish();   // the frame is done, not just queued
    }
    state.counters["process_cpu_ms"] =
        benchmark::Counter((processMs() - cpu0) / static_cast<double>(state.iterations()));
    state.SetLabel(reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    renderer.release();
    target.release();
    context.doneCurrent();
}
BENCHMARK(BM_StageFrame34Devices)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv)
{
    tavrelia::StageView::requestDefaultFormat();
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
