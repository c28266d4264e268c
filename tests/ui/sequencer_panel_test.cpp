#include <QCheckBox>
#include <QTimer>

#include "color_swatch.h"
#include "sequencer_panel.h"
#include "window_fixture.h"

using tavrelia::ShowImage;
using tavrelia::test::Window;

class SequencerPanelTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Window> w;
    QTimer* timer(const char* name) { return w->find<QTimer>(name); }
    QColor lamp() { return w->find<tavrelia::ColorSwatch>("ShapeTempClikc")->brushColor(); }
    void beat() { w->console.sequencer.TimerSeqveserTimer(); }
    tavrelia::SequencerPanel* panel() { return w->find<tavrelia::SequencerPanel>("SequencerPanel"); }
    void seconds(int count)
    {
        for (int i = 0; i < count; ++i)
            panel()->TimerShouClockTimer();
    }

private slots:
    void init() { w = std::make_unique<Window>(); }
    void cleanup() { w.reset(); }

    void startsStoppedWithTheNewShowsTempo()
    {
        QScrollBar* tempo = w->bar("ScrollBarTemp");
        QCOMPARE(tempo->minimum(), 10);
        QCOMPARE(tempo->maximum(), 170);
        QCOMPARE(tempo->value(), 44);
        QCOMPARE(tempo->pageStep(), 10);
        QCOMPARE(tempo->toolTip(), QStringLiteral("Установка времени перехода на следующую сцену"));
        QCOMPARE(w->text("LabelTemp"), QStringLiteral("30  Сцен/мин "));
        QCOMPARE(w->console.sequencer.timer().interval(), 1936);
        QVERIFY(w->console.sequencer.timer().isActive());
        QVERIFY(w->find<QToolButton>("SpeedButtonStop")->isChecked());
        QVERIFY(!w->find<QToolButton>("SpeedButtonPlay")->isChecked());
        QCOMPARE(w->text("LabelTimeShou"), QStringLiteral("Время в Шоу ?"));
        QCOMPARE(w->text("LabelTimePause"), QStringLiteral("Время  Паузы  "));
        QCOMPARE(w->text("LabelScenHand"), QStringLiteral("Уст 1"));
        auto* ring = w->find<QCheckBox>("CheckBoxRepeat");
        QVERIFY(ring->isChecked());
        QCOMPARE(ring->text(), QStringLiteral("Кольцо"));
        QCOMPARE(timer("TimerShouClock")->interval(), 1000);
        QCOMPARE(lamp(), QColor(Qt::white));
    }

    // The button and the key 9 tap the beat; the label shows the tempo taken and
    // the bar the show's own.
    void tapButtonAndKeyTakeTheTempo()
    {
        auto now = tavrelia::TapTempo::Clock::time_point{};
        w->console.live.setClock([&now] { return now; });
        auto* tap = w->find<QToolButton>("SpeedButtonTap");
        QCOMPARE(tap->text(), QStringLiteral("Tap"));
        QTest::mousePress(tap, Qt::LeftButton);
        QTest::mouseRelease(tap, Qt::LeftButton);
        now += std::chrono::milliseconds(750);
        w->key(Qt::Key_9, Qt::NoModifier);
        QCOMPARE(w->console.sequencer.timer().interval(), 750);
        QCOMPARE(w->text("LabelTemp"), QStringLiteral("80  Сцен/мин "));
        QCOMPARE(w->bar("ScrollBarTemp")->value(), 44);
        w->form.ReturnPageControlAll();   // a refresh keeps the taps' tempo
        QCOMPARE(w->console.sequencer.timer().interval(), 750);
        w->bar("ScrollBarTemp")->setValue(20);
        QCOMPARE(w->console.sequencer.timer().interval(), 400);
    }

    void tempoBarSetsThePeriod()
    {
        w->bar("ScrollBarTemp")->setValue(10);
        QCOMPARE(int(w->console.image.sceneTempo()), 10);
        QCOMPARE(w->text("LabelTemp"), QStringLiteral("600  Сцен/мин "));
        QCOMPARE(w->console.sequencer.timer().interval(), 100);
    }

    void refreshPutsAStoredTempoIntoRange_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QString>("label");
        QTest::newRow("zero") << 0 << 10 << QStringLiteral("600  Сцен/мин ");
        QTest::newRow("just below") << 9 << 10 << QStringLiteral("600  Сцен/мин ");
        QTest::newRow("inside") << 100 << 100 << QStringLiteral("6  Сцен/мин ");
        QTest::newRow("above") << 200 << 170 << QStringLiteral("2  Сцен/мин ");
        QTest::newRow("negative product") << 255 << 170 << QStringLiteral("2  Сцен/мин ");
    }
    void refreshPutsAStoredTempoIntoRange()
    {
        QFETCH(int, stored);
        QFETCH(int, shown);
        QFETCH(QString, label);
        // the bar already at its limit: the position does not move
        w->bar("ScrollBarTemp")->setValue(shown);
        w->console.image[ShowImage::kSceneTempo] = static_cast<uint8_t>(stored);
        w->form.ReturnPageControlAll();
        QCOMPARE(w->bar("ScrollBarTemp")->value(), shown);
        QCOMPARE(int(w->console.image.sceneTempo()), shown);
        QCOMPARE(w->text("LabelTemp"), label);
        QCOMPARE(w->console.sequencer.timer().interval(), shown * shown);
    }

    void newShowAndLoadApplyTheTempo()
    {
        w->console.image[ShowImage::kSceneTempo] = 20;
        emit w->form.showLoaded();
        QCOMPARE(w->console.sequencer.timer().interval(), 400);
        w->console.clearShowData();
        emit w->form.showCleared();
        QCOMPARE(w->console.sequencer.timer().interval(), 1936);
        QCOMPARE(w->text("LabelTemp"), QStringLiteral("30  Сцен/мин "));
    }

    void playAdvancesAndShowsTheScene()
    {
        w->click("SpeedButtonPlay");
        QVERIFY(w->console.play.PlayFlag);
        QVERIFY(!w->find<QToolButton>("SpeedButtonStop")->isChecked());
        QList<int> shown;
        for (int i = 0; i < 4; ++i) {
            beat();
            shown << w->text("LabelStep").toInt();
            QCOMPARE(w->bar("ScrollBarStep")->value(), w->current());
        }
        QCOMPARE(shown, (QList<int>{2, 1, 2, 1}));
        w->click("SpeedButtonStop");
        QVERIFY(!w->console.play.PlayFlag);
        QVERIFY(w->find<QToolButton>("SpeedButtonStop")->isChecked());
        beat();
        QCOMPARE(w->current(), 0);
    }

    void doubleClickOnPlayRestartsFromTheFirstScene()
    {
        w->setScenes(4, 9);
        seconds(307);
        auto* play = w->find<QToolButton>("SpeedButtonPlay");
        QTest::mouseDClick(play, Qt::LeftButton);
        QVERIFY(w->console.play.PlayFlag);
        QVERIFY(play->isChecked());
        QCOMPARE(w->current(), 0);
        QCOMPARE(w->text("LabelStep"), QStringLiteral("1"));
        QCOMPARE(w->console.sequencer.clockText(), QStringLiteral("0ч 0м 0с "));
        beat();
        QCOMPARE(w->current(), 1);
    }

    void clockShowsPlayAndPauseTime()
    {
        w->click("SpeedButtonPlay");
        QCOMPARE(w->form.captionPrefix(), QStringLiteral(" Initalization "));
        seconds(125);
        QCOMPARE(w->form.captionPrefix(), QStringLiteral(" DEMO MODE: "));   // the link state
        QCOMPARE(w->text("LabelTimeShou"), QStringLiteral("Шоу   = 0ч 2м 5с "));
        QCOMPARE(w->text("LabelTimePause"), QStringLiteral("Время  Паузы  "));
        // stopped by something else than Stop: buttons stay, the pause counts on
        w->console.play.PlayFlag = false;
        seconds(1);
        QCOMPARE(w->text("LabelTimePause"), QString::fromUtf8("Пауз") + QLatin1Char('a')
                                                + QStringLiteral(" = 0ч 2м 6с "));
        QCOMPARE(w->text("LabelTimeShou"), QStringLiteral("Шоу   = 0ч 2м 5с "));
        QVERIFY(w->find<QToolButton>("SpeedButtonPlay")->isChecked());
        w->click("SpeedButtonStop");
        seconds(1);
        QCOMPARE(w->text("LabelTimePause"), QStringLiteral("Паузa = 0ч 0м 1с "));
    }

    void lampBlinksEveryPeriodEvenWithoutPlay()
    {
        const QColor face = w->find<QWidget>("SequencerPanel")->palette().color(QPalette::Button);
        panel()->TimerColorLentaTempaTimer();
        QCOMPARE(lamp(), face);

        w->click("SpeedButtonPlay");
        w->console.play.PlayFlag = false;   // as the blackout key does
        struct {
            bool blackOut, macro;
            QColor colour;
        } const cases[] = {{false, false, QColor(0, 255, 0)},
                           {true, false, QColor(Qt::black)},
                           {true, true, QColor(255, 0, 0)}};
        for (const auto& c : cases) {
            w->console.controls.blackOut = c.blackOut;
            w->console.controls.macroOut = c.macro;
            beat();
            QCOMPARE(lamp(), c.colour);
            QVERIFY(timer("TimerColorLentaTempa")->isActive());
            QTRY_COMPARE(lamp(), face);
        }
        QCOMPARE(w->current(), 0);
    }

    void stopShowsDownOnceThePlayFlagIsCleared()
    {
        w->click("SpeedButtonPlay");
        w->console.play.PlayFlag = false;
        // within the desk's next 100 ms refresh
        QTRY_VERIFY_WITH_TIMEOUT(w->find<QToolButton>("SpeedButtonStop")->isChecked(), 1000);
        QVERIFY(!w->find<QToolButton>("SpeedButtonPlay")->isChecked());
    }

    void blackoutStopsTheShowButNotTheLamp()
    {
        w->click("SpeedButtonPlay");
        w->find<QCheckBox>("CheckBoxBlackOut")->click();
        QVERIFY(!w->console.play.PlayFlag);
        beat();
        QCOMPARE(lamp(), QColor(Qt::black));
        QCOMPARE(w->current(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(w->find<QToolButton>("SpeedButtonStop")->isChecked(), 1000);
        // not a real stop: the scene list stays locked until Stop is pressed
        QVERIFY(!w->find<QWidget>("SpeedButtonNewScena")->isEnabled());
        w->click("SpeedButtonStop");
        QVERIFY(w->find<QWidget>("SpeedButtonNewScena")->isEnabled());
    }

    void presetMovesTheSceneBarWhenStopped()
    {
        w->setScenes(0, 20);
        QScrollBar* preset = w->bar("ScrollBarScenHand");
        preset->setValue(7);
        QCOMPARE(w->text("LabelScenHand"), QStringLiteral("Уст 8"));
        w->click("SpeedButtonScenHand");
        QCOMPARE(w->current(), 7);
        QCOMPARE(w->text("LabelStep"), QStringLiteral("8"));

        w->click("SpeedButtonPlay");
        preset->setValue(3);
        w->click("SpeedButtonScenHand");
        QCOMPARE(w->current(), 7);
        QCOMPARE(w->bar("ScrollBarStep")->value(), 7);
    }
};

TAVRELIA_TEST_MAIN(SequencerPanelTest)
#include "sequencer_panel_test.moc"
