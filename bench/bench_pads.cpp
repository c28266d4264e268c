// The cost of repainting the two editing pads, whole and for one step of a drag.
// A drag must keep up with the mouse: each step should stay well under 2 ms.
// Runs on the offscreen platform unless another one is chosen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>

#include "base_form.h"
#include "console.h"

namespace {

using tavrelia::Console;
using tavrelia::TBaseForm;

struct Window {
    explicit Window(TBaseForm::InputTab tab)
    {
        console.clearShowData();
        form.show();
        form.pageControlInput()->setCurrentWidget(form.inputPage(tab));
        QApplication::processEvents();
    }
    template <typename T = QWidget>
    T* find(const char* name) { return form.findChild<T*>(QString::fromLatin1(name)); }
    void mouse(QWidget* pad, QEvent::Type type, QPoint at)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, pad->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(pad, &event);
    }

    Console console;
    TBaseForm form{console};
};

// The longest path: 255 scenes of a spiral, every point a square and a line.
Window& beamWindow()
{
    // Never destroyed: a widget must not outlive the application object.
    static Window& w = *new Window(TBaseForm::InputTab::RedaktorLucha);
    static const bool made = [] {
        w.find<QScrollBar>("ScrollBarEditWide")->setValue(10);
        w.console.image[tavrelia::ShowImage::kLastScene] = 254;
        w.form.ReturnPageControlAll();
        w.find<QToolButton>("SpeedButtonEditSpiral")->click();
        return true;
    }();
    benchmark::DoNotOptimize(made);
    return w;
}

void BM_XyPadWholeRepaint(benchmark::State& state)
{
    QWidget* pad = beamWindow().find("PaintBoxXY");
    for (auto _ : state)
        pad->repaint();
}
BENCHMARK(BM_XyPadWholeRepaint)->Unit(benchmark::kMicrosecond);

// Mouse moves of a drag from `start`, each followed by the paint it asks for.
template <typename Step>
void drag(benchmark::State& state, Window& w, QWidget* pad, QPoint start, Step step)
{
    w.mouse(pad, QEvent::MouseButtonPress, start);
    int n = 0;
    for (auto _ : state) {
        w.mouse(pad, QEvent::MouseMove, step(start, ++n));
        QApplication::processEvents();
    }
    w.mouse(pad, QEvent::MouseButtonRelease, start);
}

// One mouse move of a point drag: the handler, the point written, its part of
// the pad painted.
void BM_XyPadDragStep(benchmark::State& state)
{
    Window& w = beamWindow();
    const auto first = w.console.beamEditor.path({1, 255}, {1, 2}).front();
    drag(state, w, w.find("PaintBoxXY"), QPoint(first.x, 255 - first.y),
         [](QPoint start, int n) { return start + QPoint(n % 8, n % 5); });
}
BENCHMARK(BM_XyPadDragStep)->Unit(benchmark::kMicrosecond);

// The most columns: zoom 1/256.
Window& graphWindow()
{
    static Window& w = *new Window(TBaseForm::InputTab::Grafik);
    static const bool zoomed = [] {
        for (int s = 0; s < 256; ++s)
            w.console.image.DataWrite(static_cast<uint8_t>(s), 1, s);
        w.find<QScrollBar>("ScrollBarGrafikZoom")->setValue(0);
        return true;
    }();
    benchmark::DoNotOptimize(zoomed);
    return w;
}

void BM_GraphWholeRepaint(benchmark::State& state)
{
    QWidget* pad = graphWindow().find("PaintBoxGrafik");
    for (auto _ : state)
        pad->repaint();
}
BENCHMARK(BM_GraphWholeRepaint)->Unit(benchmark::kMicrosecond);

// One mouse move of an arrow drag over the bars.
void BM_GraphDragStep(benchmark::State& state)
{
    Window& w = graphWindow();
    drag(state, w, w.find("PaintBoxGrafik"), QPoint(100, 100),
         [](QPoint start, int n) { return start + QPoint(2 * (n % 50), n % 150 - 50); });
}
BENCHMARK(BM_GraphDragStep)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window never reads or writes the user's files here, but keep it away anyway.
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
