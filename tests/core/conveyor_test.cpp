#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "playback_rig.h"

using tavrelia::Conveyor;
using tavrelia::FileResult;
using tavrelia::ShowFolder;
using tavrelia::ShowImage;
using Mode = Conveyor::Mode;

namespace {

constexpr int kMarker = 7;   // channel whose scene-0 level tells the shows apart

class ConveyorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        rig.folder = ShowFolder(tmp.path());
        rig.state.image.resetToNewShow();
    }

    // A two-scene show saved as show<id>.tvl, stored on its scene 1 with tempo
    // 10 + id; its scene 0 carries id on the marker channel.
    QString makeShow(int id)
    {
        ShowImage image;
        image.resetToNewShow();
        image.DataWrite(0, kMarker, id);
        image.DataWrite(1, kMarker, 100 + id);
        image[ShowImage::kCurrentScene] = 1;
        image[ShowImage::kSceneTempo] = static_cast<uint8_t>(10 + id);
        const QString path = tmp.filePath(QStringLiteral("show%1.tvl").arg(id));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(image.data()), ShowImage::kImageSize);
        return path;
    }
    void bindAndPress(int n)
    {
        conveyor().bind(n, makeShow(n));
        conveyor().SpeedButtonClick(n);
    }
    int shown() const { return rig.state.image.DataRead(0, kMarker); }
    int scene() const { return rig.state.image.currentScene(); }
    Conveyor& conveyor() { return rig.conveyor; }

    QTemporaryDir tmp;
    tavrelia::test::PlaybackRig rig;
};

}  // namespace

TEST(ConveyorNames, ShortNamesAndKeys)
{
    struct Case {
        const char* file;
        int length;
        const char* name;
    };
    const Case cases[] = {
        {"/shows/Disco.tvl", 7, "Disco"},       {"/shows/Showtime2.tvl", 7, "Showtim"},
        {"ab.cdefgh.tvl", 7, "ab"},             {"/a/Fireworks.tvl", 7, "Firewor"},
        {"/a/Fireworks.tvl", 8, "Firework"},    {"/a/Party.tvl", 8, "Party"},
        {"/a/Mini.t", 8, "Mini"},               {"", 7, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Conveyor::shortName(QString::fromUtf8(c.file), c.length), QString::fromUtf8(c.name)) << c.file;

    // The first, a middle and the last key; keys of the pictures are none.
    EXPECT_EQ(Conveyor::buttonOfKey('Q'), 1);
    EXPECT_EQ(Conveyor::buttonOfKey('A'), 11);
    EXPECT_EQ(Conveyor::buttonOfKey('L'), 19);
    for (int code : {0, int('X'), int('Z'), int('M'), int('1'), 32, 187})
        EXPECT_EQ(Conveyor::buttonOfKey(code), 0) << code;
}

TEST_F(ConveyorTest, CaptionsWhenBoundClearedAndReadAtStartUp)
{
    EXPECT_EQ(conveyor().button(1).caption, QStringLiteral("(пусто)"));
    rig.settings.conveyorFiles[0] = QStringLiteral("/x/Fireworks.tvl");
    rig.settings.conveyorFiles[19] = QStringLiteral("/x/Finale.tvl");
    conveyor().ReadIniFile();
    EXPECT_EQ(conveyor().button(1).caption, QStringLiteral("Q=Firework"));
    EXPECT_EQ(conveyor().button(2).caption, QStringLiteral("W пусто"));
    EXPECT_EQ(conveyor().button(20).caption, QStringLiteral(" Finale"));
    EXPECT_EQ(conveyor().button(19).caption, QStringLiteral("L пусто"));
    EXPECT_TRUE(conveyor().button(20).bound);
    EXPECT_FALSE(conveyor().button(19).bound);

    conveyor().bind(1, QStringLiteral("/y/Fireworks.tvl"));
    EXPECT_EQ(conveyor().button(1).caption, QStringLiteral("Q=Firewor"));
    EXPECT_EQ(rig.showFiles.openFileName, QStringLiteral("/y/Fireworks.tvl"));
    EXPECT_EQ(rig.settings.conveyorFiles[0], QStringLiteral("/y/Fireworks.tvl"));

    conveyor().SpeedButtonClick(20);
    conveyor().SpeedButtonKonvNewClick();
    EXPECT_EQ(conveyor().button(1).caption, QStringLiteral("Q (пусто)"));
    EXPECT_EQ(conveyor().button(20).caption, QStringLiteral("(пусто)"));
    for (int n = 1; n <= 20; ++n) {
        EXPECT_FALSE(conveyor().button(n).bound);
        EXPECT_FALSE(conveyor().button(n).pressed);
        EXPECT_TRUE(conveyor().fileOf(n).isEmpty());
    }
}

TEST_F(ConveyorTest, HandModeLoadsAtOnceAndKeepsPlaying)
{
    conveyor().bind(2, makeShow(2));
    conveyor().SpeedButtonClick(3);   // empty: only pressed
    EXPECT_TRUE(conveyor().button(3).pressed);
    EXPECT_EQ(shown(), 0);

    rig.sequencer.ModePlay();
    int loaded = 0;
    QObject::connect(&conveyor(), &Conveyor::loaded, [&] { ++loaded; });
    EXPECT_TRUE(conveyor().keyJob('W'));
    EXPECT_EQ(shown(), 2);
    EXPECT_EQ(scene(), 0);
    EXPECT_TRUE(rig.state.play.PlayFlag);
    EXPECT_EQ(conveyor().label(), QStringLiteral("show2"));
    EXPECT_EQ(loaded, 1);
    for (int n = 1; n <= 20; ++n)
        EXPECT_EQ(conveyor().button(n).pressed, n == 2) << n;

    // A click on a pressed button releases it, then its job presses it again.
    conveyor().SpeedButtonClick(2);
    EXPECT_TRUE(conveyor().button(2).pressed);
    EXPECT_FALSE(conveyor().keyJob('X'));
}

TEST_F(ConveyorTest, OtherModesOnlyToggleAndKeysDoNothing)
{
    conveyor().bind(1, makeShow(1));
    for (Mode mode : {Mode::Off, Mode::List, Mode::ListBegin}) {
        rig.state.image.resetToNewShow();
        conveyor().setMode(mode);
        rig.sequencer.ModeStop();
        const auto before = rig.state.image.bytes();
        conveyor().keyJob('Q');
        EXPECT_EQ(rig.state.image.bytes(), before);
        EXPECT_FALSE(conveyor().button(1).pressed);
        conveyor().SpeedButtonClick(1);
        EXPECT_TRUE(conveyor().button(1).pressed);
        EXPECT_EQ(rig.state.image.bytes(), before);
        conveyor().SpeedButtonClick(1);
        EXPECT_FALSE(conveyor().button(1).pressed);
    }
}

TEST_F(ConveyorTest, ModesStopOrAdvanceAndPlay)
{
    bindAndPress(4);   // hand mode: loads 4, leaves it pressed
    rig.sequencer.ModePlay();
    conveyor().setMode(Mode::Off);
    EXPECT_FALSE(rig.state.play.PlayFlag);
    conveyor().setMode(Mode::ListBegin);
    EXPECT_TRUE(rig.state.play.PlayFlag);
    EXPECT_EQ(conveyor().ConveyorPosition, 5);
    EXPECT_EQ(conveyor().label(), QStringLiteral("4 show4"));
    conveyor().setMode(Mode::Hand);
    EXPECT_FALSE(rig.state.play.PlayFlag);
}

// The sequence of shows played by the wraps in list mode from the start.
TEST_F(ConveyorTest, ListFromStartPlaysThePressedBoundButtonsInTurn)
{
    struct Case {
        std::vector<int> pressed;   // bound and pressed
        std::vector<int> shows;     // the marker after each advance
        std::vector<int> positions;
    };
    const Case cases[] = {
        // After the last one the current show restarts once without a reload.
        {{1, 2, 5}, {1, 2, 5, 5, 1, 2}, {2, 3, 6, 1, 2, 3}},
        {{5}, {5, 5, 5, 5}, {6, 1, 6, 1}},
        // Button 20: the position returns to 1 at once.
        {{3, 20}, {3, 20, 3, 20}, {4, 1, 4, 1}},
        {{}, {0, 0, 0}, {1, 1, 1}},
    };
    for (const Case& c : cases) {
        tavrelia::test::PlaybackRig run;
        run.folder = ShowFolder(tmp.path());
        run.state.image.resetToNewShow();
        for (int n : c.pressed) {
            run.conveyor.bind(n, makeShow(n));
            run.conveyor.setMode(Mode::Off);   // a click here only presses
            run.conveyor.SpeedButtonClick(n);
        }
        std::vector<int> shows, positions;
        run.conveyor.setMode(Mode::ListBegin);
        for (size_t i = 0; i < c.shows.size(); ++i) {
            if (i > 0)
                run.conveyor.KonveyrJob();
            shows.push_back(run.state.image.DataRead(0, kMarker));
            positions.push_back(run.conveyor.ConveyorPosition);
            EXPECT_EQ(run.state.image.currentScene(), 0);
        }
        EXPECT_EQ(shows, c.shows);
        EXPECT_EQ(positions, c.positions);
    }
}

TEST_F(ConveyorTest, ListFromCurrentPositionAndLabel)
{
    for (int n : {2, 6}) {
        conveyor().bind(n, makeShow(n));
        conveyor().setMode(Mode::Off);
        conveyor().SpeedButtonClick(n);
    }
    conveyor().ConveyorPosition = 3;
    conveyor().setMode(Mode::List);
    EXPECT_EQ(shown(), 6);
    EXPECT_EQ(conveyor().label(), QStringLiteral("6 show6"));
    conveyor().KonveyrJob();   // nothing after 6: the label stays
    EXPECT_EQ(conveyor().label(), QStringLiteral("6 show6"));
    EXPECT_EQ(conveyor().ConveyorPosition, 1);
}

TEST_F(ConveyorTest, MissingOrShortFileKeepsTheShowAndTheListMovesOn)
{
    const QString one = makeShow(1);
    const QString two = makeShow(2);
    conveyor().setMode(Mode::Off);
    for (int n : {1, 2}) {
        conveyor().bind(n, n == 1 ? one : two);
        conveyor().SpeedButtonClick(n);
    }
    QFile::remove(one);
    QFile(two).resize(100);
    rig.state.image.DataWrite(0, kMarker, 99);
    rig.state.image[ShowImage::kCurrentScene] = 1;
    std::vector<FileResult::Status> loaded;
    QObject::connect(&conveyor(), &Conveyor::loaded,
                     [&](const FileResult& result) { loaded.push_back(result.status); });

    conveyor().setMode(Mode::ListBegin);
    EXPECT_EQ(shown(), 99);
    EXPECT_EQ(scene(), 0);
    EXPECT_EQ(conveyor().ConveyorPosition, 2);
    EXPECT_EQ(conveyor().label(), QStringLiteral("1 show1"));
    conveyor().KonveyrJob();
    EXPECT_EQ(shown(), 99);
    EXPECT_EQ(conveyor().ConveyorPosition, 3);
    EXPECT_EQ(loaded, (std::vector{FileResult::Status::Missing, FileResult::Status::Failed}));
}

// At the wrap in list mode the next show comes in with its scene 0 and the steps
// computed against its own last scene, all under one lock.
TEST_F(ConveyorTest, SequencerWrapLoadsTheNextShowWithItsSteps)
{
    const QString one = makeShow(1);
    conveyor().setMode(Mode::Off);
    conveyor().bind(1, one);
    conveyor().SpeedButtonClick(1);
    conveyor().bind(3, makeShow(3));
    conveyor().SpeedButtonClick(3);
    conveyor().setMode(Mode::ListBegin);
    ASSERT_EQ(shown(), 1);

    rig.sequencer.TimerSeqveserTimer();   // 0 -> 1
    EXPECT_EQ(scene(), 1);
    EXPECT_EQ(shown(), 1);
    rig.sequencer.TimerSeqveserTimer();   // wrap: show 3
    EXPECT_EQ(scene(), 0);
    EXPECT_EQ(shown(), 3);
    // From the new show's last scene (103) to its scene 0 (3), at the new show's
    // tempo 13 (169 ms, 3 ticks) while the timer still runs at show 1's.
    EXPECT_EQ(rig.state.play.FadeSteps[kMarker], 100 / 3);
    rig.sequencer.TimerSeqveserTimer();
    EXPECT_EQ(shown(), 3);
    EXPECT_EQ(scene(), 1);

    // In hand mode the wrap only wraps.
    conveyor().setMode(Mode::Hand);
    rig.sequencer.ModePlay();
    rig.sequencer.TimerSeqveserTimer();
    EXPECT_EQ(scene(), 0);
    EXPECT_EQ(shown(), 3);
}
