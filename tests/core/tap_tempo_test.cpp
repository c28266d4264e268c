#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <optional>
#include <vector>

#include "application.h"
#include "console.h"
#include "playback/tap_tempo.h"

using namespace std::chrono_literals;
using tavrelia::Console;
using tavrelia::ShowImage;
using tavrelia::TapTempo;

namespace {

struct TapCase {
    const char* what;
    std::vector<int> at;                   // ms
    std::vector<std::optional<int>> period;   // after each tap
};

}  // namespace

TEST(TapTempo, MeanOfTheLastFourTapsAndAfreshAfterAGap)
{
    const std::optional<int> none;
    const TapCase cases[] = {
        {"steady", {0, 500, 1000, 1500}, {none, 500, 500, 500}},
        {"only the last four count", {0, 400, 800, 1400, 2000, 2600}, {none, 400, 400, 467, 533, 600}},
        {"a gap of 2 s still counts", {0, 2000}, {none, 2000}},
        {"a longer gap starts afresh", {0, 500, 2501, 3001, 3502}, {none, 500, none, 500, 501}},
        {"a clock that went back starts afresh", {1000, 1500, 700, 1200}, {none, 500, none, 500}},
    };
    for (const TapCase& c : cases) {
        TapTempo taps;
        std::vector<std::optional<int>> got;
        for (int ms : c.at)
            got.push_back(taps.tap(TapTempo::Clock::time_point(std::chrono::milliseconds(ms))));
        EXPECT_EQ(got, c.period) << c.what;
    }
}

// Taps set the sequencer's period, its label and the fades; the show keeps its own
// tempo, in memory and in the file, until the operator sets another.
TEST(TapTempo, TapsSetThePeriodAndTheShowKeepsItsTempo)
{
    tavrelia::test::needApplication();
    QTemporaryDir dir;
    Console console;
    console.clearShowData();
    console.sequencer.TempStatus();
    console.sequencer.start();
    tavrelia::Controls& live = console.live;
    TapTempo::Clock::time_point now{};
    live.setClock([&now] { return now; });
    std::vector<int> periods;
    QObject::connect(&live, &tavrelia::Controls::periodChanged, [&](int ms) { periods.push_back(ms); });
    QString label;
    QObject::connect(&console.sequencer, &tavrelia::Sequencer::tempoChanged,
                     [&](const QString& text) { label = text; });

    for (int i = 0; i < 4; ++i, now += 500ms)
        live.tap();
    EXPECT_EQ(live.period(), 500);
    EXPECT_EQ(console.sequencer.timer().interval(), 500);
    EXPECT_EQ(label, QStringLiteral("120  Сцен/мин "));
    ASSERT_FALSE(periods.empty());
    EXPECT_EQ(periods.back(), 500);
    EXPECT_EQ(live.tempo(), ShowImage::kNewTempo);

    // A fade of 0 to 255 in 500 ms: ten ticks.
    console.image.DataWrite(1, 1, 255);
    live.play();
    live.go(2);
    EXPECT_EQ(int(console.play.FadeSteps[1]), 25);

    const QString path = dir.filePath("tapped.tvl");
    ASSERT_TRUE(console.showFiles.SaveFileAs(path).done());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(uint8_t(file.readAll().at(ShowImage::kSceneTempo)), ShowImage::kNewTempo);

    // The refresh sets the bar to the stored tempo: the taps stay in force.
    live.setTempo(ShowImage::kNewTempo);
    EXPECT_EQ(live.period(), 500);
    live.setTempo(50);
    EXPECT_EQ(live.period(), 2500);
    EXPECT_EQ(periods.back(), 2500);
}
