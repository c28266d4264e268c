// What the open 3D window costs the user-interface thread while a show plays.
//   xvfb-run -a env LIBGL_ALWAYS_SOFTWARE=1 viewer_probe [seconds]
// Three runs of the same playing show with every fed device placed and lit: the
// window closed, open at the tick's pace (a frame after each 50 ms tick), and open
// with a redraw asked for at every 33 ms check (30 frames a second). Each prints the
// frames drawn per second and the CPU time per second of the UI thread and of the
// whole process (Mesa's software renderer works on threads of its own).
#include <sys/resource.h>
#include <time.h>

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "base_form.h"
#include "console.h"
#include "stage_view.h"
#include "view_3d_form.h"

namespace {

double threadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

double processSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void prepareShow(tavrelia::Console& console)
{
    auto guard = console.lock();
    tavrelia::DeviceFeed& feed = console.deviceFeed;
    for (int d = 1; d <= tavrelia::DeviceFeed::kDevices; ++d) {
        feed.DevType[d] = d > 18 ? 3 : (d >= 7 && d <= 12 ? 2 : 1);
        feed.DevX[d] = static_cast<uint8_t>(20 + (d % 18) * 12);
        feed.DevY[d] = d > 18 ? 20 : 230;
        feed.DevZ[d] = d > 18 ? 200 : 90;
        feed.DevTilt[d] = 150;
        feed.DevWidth[d] = 60;
    }
    tavrelia::ShowImage& image = console.image;
    for (int scene = 0; scene < 8; ++scene) {
        for (int c = 1; c <= 255; ++c)
            image.DataWrite(static_cast<uint8_t>(scene), static_cast<uint8_t>(c), (c * 37 + scene * 61) % 256);
    }
    image[tavrelia::ShowImage::kLastScene] = 7;
    image[tavrelia::ShowImage::kSceneTempo] = 20;   // a scene every 400 ms
    console.controls.demo = true;
}

struct Sample {
    double framesPerSecond;
    double uiShare;
    double processShare;
};

Sample measure(tavrelia::Tform3Dtavr& viewer, double seconds)
{
    const int frames0 = viewer.view() ? viewer.view()->framesDrawn() : 0;
    const double ui0 = threadSeconds(), all0 = processSeconds();
    const auto start = std::chrono::steady_clock::now();
    // A loop of its own: quitting the application would close the windows.
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const int frames = (viewer.view() ? viewer.view()->framesDrawn() : 0) - frames0;
    return {frames / wall, (threadSeconds() - ui0) / wall, (processSeconds() - all0) / wall};
}

void print(const char* name, const Sample& s)
{
    std::printf("%-34s %6.1f frames/s   UI thread %5.1f%% of a core   process %5.1f%%\n", name,
                s.framesPerSecond, 100 * s.uiShare, 100 * s.processShare);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::max(1.0, std::atof(argv[1])) : 10.0;
    QTemporaryDir home;   // the program's files go nowhere real
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    tavrelia::StageView::requestDefaultFormat();
    QApplication app(argc, argv);

    tavrelia::Console console;
    tavrelia::TBaseForm form(console);
    form.resize(tavrelia::TBaseForm::kWidth, tavrelia::TBaseForm::kHeight);
    form.show();
    prepareShow(console);
    form.ReturnPageControlAll();
    console.startOutput();
    form.findChild<QAbstractButton*>(QStringLiteral("SpeedButtonPlay"))->click();
    auto* viewer = form.findChild<tavrelia::Tform3Dtavr*>(QStringLiteral("Tform3Dtavr"));

    print("show playing, 3D window closed", measure(*viewer, seconds));
    viewer->open();
    if (!viewer->view()) {
        std::printf("no GL on this display\n");
        return 1;
    }
    print("3D window open, a frame per tick", measure(*viewer, seconds));

    // A redraw asked for more often than the window checks: it draws at every check.
    std::atomic<bool> asking{true};
    std::thread asker([&] {
        while (asking) {
            console.deviceFeed.RedrawRequest = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    print("3D window open, 30 frames a second", measure(*viewer, seconds));
    asking = false;
    asker.join();
    console.stopOutput();
    return 0;
}
