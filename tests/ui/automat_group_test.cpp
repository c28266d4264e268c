// The tab "Автоматы": its refresh from the show, the controls into the show, the
// lamp, step and shapes at every tick, and timers that keep their period.

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QTabWidget>

#include "color_swatch.h"
#include "window_fixture.h"

using namespace tavrelia;

namespace {

struct AutomatTab : test::Window {
    AutomatTab()
    {
        console.image.prepareAtStartUp();   // both speeds 50
        showTab();
    }
    void showTab()
    {
        form.pageControlInput()->setCurrentWidget(form.inputPage(TBaseForm::InputTab::Avtomaty));
    }
    uint8_t& stored(int field) { return console.image[field]; }
    QColor colour(const QString& name) { return find<ColorSwatch>(name.toLatin1())->brushColor(); }
    Automat& automat(int n) { return console.automats[n]; }
};

}  // namespace

class AutomatGroupTest : public QObject {
    Q_OBJECT
private slots:
    void controlsAndTexts();
    void refreshPutsTheShowIntoTheControlsAndClampsBackIntoIt();
    void controlsStoreIntoTheShow();
    void everyTickBlinksTheLampAndARunningStepShows();
    void timersArePreciseAndARefreshNeverRestartsThem();
};

void AutomatGroupTest::controlsAndTexts()
{
    test::Window w;   // before the tab was ever shown
    QCOMPARE(w.find<QGroupBox>("GroupBoxAvtomat1")->title(), QStringLiteral("Автомат 1  четырех канальный "));
    QCOMPARE(w.find<QGroupBox>("GroupBoxAvtomat2")->title(), QStringLiteral("Автомат 2  четырех канальный "));
    QCOMPARE(w.form.pageControlInput()->tabText(w.form.pageControlInput()->indexOf(
                 w.form.inputPage(TBaseForm::InputTab::Avtomaty))),
             QStringLiteral("Автоматы"));
    for (int n : {1, 2}) {
        const auto name = [n](const char* pattern) { return QString::fromLatin1(pattern).arg(n).toLatin1(); };
        auto* speed = w.bar(name("ScrollBarTempAvtomat%1"));
        QCOMPARE(speed->minimum(), 5);
        QCOMPARE(speed->maximum(), 50);
        QCOMPARE(speed->value(), 10);
        QCOMPARE(speed->toolTip(), QStringLiteral("Скорость переключения автомата"));
        auto* channel = w.bar(name("ScrollBarChannelAvtomat%1"));
        QCOMPARE(channel->maximum(), 250);
        QCOMPARE(channel->value(), 0);
        QCOMPARE(channel->toolTip(),
                 QStringLiteral("Установка первого канала, с которого будет работать автомат бегушки"));
        QCOMPARE(w.text(name("LabelTempAvtomat%1")), QStringLiteral("Скорость переключения"));
        QCOMPARE(w.text(name("LabelSeq%1Ch")), QStringLiteral("Каналы  1+2+3+4"));
        QCOMPARE(w.text(name("LabelStepAvtomat%1")), QStringLiteral("Step = 1"));
        QCOMPARE(w.text(name("LabelBrightAvtomat%1")), QStringLiteral("Яркость"));
        for (const char* bar : {"ScrollBarBrightAvtomat%1", "ScrollBarDarkAvtomat%1"}) {
            QCOMPARE(w.bar(name(bar))->orientation(), Qt::Vertical);
            QCOMPARE(w.bar(name(bar))->value(), 127);
        }
        QCOMPARE(w.bar(name("ScrollBarBrightAvtomat%1"))->toolTip(), QStringLiteral("Максимальная яркость автомата"));
        QCOMPARE(w.bar(name("ScrollBarDarkAvtomat%1"))->toolTip(), QStringLiteral("Минимальная яркость автомата"));
        auto* alone = w.find<QCheckBox>(name("CheckBoxAvtomat%1"));
        QCOMPARE(alone->text(), QStringLiteral("Пуск самостоятельно"));
        QCOMPARE(alone->toolTip(), QStringLiteral("Запусить автомат постоянно"));
        QVERIFY(!alone->isChecked());
        auto* together = w.find<QCheckBox>(name("CheckBoxTogethe%1"));
        QCOMPARE(together->text(), QStringLiteral("С основным"));
        QCOMPARE(together->toolTip(),
                 QStringLiteral("Установленный флажок будет запускать автомат вместе с секвенсером 1"));
        QVERIFY(w.find<QToolButton>(name("SpeedButtonAvto%1Mode1"))->isChecked());
        QCOMPARE(w.find<QToolButton>(name("SpeedButtonAvto%1Mode4"))->toolTip(),
                 QStringLiteral("Выбор эффекта код с наполнением"));
        for (int i = 1; i <= 4; ++i)
            w.find<ColorSwatch>(QStringLiteral("ShapeAvt%1Seq%2").arg(n).arg(i).toLatin1());
        w.find<ColorSwatch>(name("ShapeAvtomat%1"));
    }
}

void AutomatGroupTest::refreshPutsTheShowIntoTheControlsAndClampsBackIntoIt()
{
    AutomatTab w;
    w.stored(ShowImage::kAvtomat1Speed) = 0;   // read as 20 until the bar takes it
    w.automat(1).TempAvtomatStatus();
    QCOMPARE(w.automat(1).period(), 400);
    QCOMPARE(w.text("LabelTempAvtomat1"), QStringLiteral("150 Flash/мин "));
    w.bar("ScrollBarTempAvtomat1")->setValue(5);   // the bar was already at its minimum

    w.stored(ShowImage::kAvtomat1Speed) = 0;
    w.stored(ShowImage::kAvtomat1Channel) = 253;
    w.stored(ShowImage::kAvtomat1Mode) = 3;
    w.stored(ShowImage::kAvtomat1Bright) = 255;
    w.stored(ShowImage::kAvtomat1Dark) = 40;
    w.stored(ShowImage::kAvtomat2Speed) = 99;
    w.stored(ShowImage::kAvtomat2Mode) = 7;   // no such effect: the button stays
    const char name[] = "Front\0wash\0\0\0\0\0\0";
    std::copy(name, name + 16, w.console.image.data() + ShowImage::nameAddress(251));
    w.form.ReturnPageControlAll();

    QCOMPARE(w.bar("ScrollBarTempAvtomat1")->value(), 5);
    QCOMPARE(int(w.stored(ShowImage::kAvtomat1Speed)), 5);
    QCOMPARE(w.automat(1).period(), 25);
    QCOMPARE(w.text("LabelTempAvtomat1"), QStringLiteral("2400 Flash/мин "));
    QCOMPARE(w.bar("ScrollBarChannelAvtomat1")->value(), 250);
    QCOMPARE(int(w.stored(ShowImage::kAvtomat1Channel)), 250);
    QCOMPARE(w.text("LabelSeq1Ch"), QStringLiteral(" Каналы 251  252  253  254"));
    QCOMPARE(w.text("LabelSeq1ChName"), QStringLiteral(" Начиная от - Front wash"));
    QVERIFY(w.find<QToolButton>("SpeedButtonAvto1Mode3")->isChecked());
    QCOMPARE(w.bar("ScrollBarBrightAvtomat1")->value(), 0);   // full level at the top
    QCOMPARE(w.bar("ScrollBarDarkAvtomat1")->value(), 215);
    QCOMPARE(int(w.stored(ShowImage::kAvtomat2Speed)), 50);
    QCOMPARE(w.text("LabelTempAvtomat2"), QStringLiteral("24 Flash/мин "));
    QVERIFY(w.find<QToolButton>("SpeedButtonAvto2Mode1")->isChecked());
    QCOMPARE(int(w.stored(ShowImage::kAvtomat2Mode)), 7);

    // The effect that runs is the button that went down.
    w.stored(ShowImage::kAvtomat1Bright) = 200;
    w.stored(ShowImage::kAvtomat1Dark) = 10;
    w.automat(1).JobAvtomat();   // s = 1, effect 3: D D B B
    QCOMPARE(w.automat(1).values(), (Automat::Values{10, 10, 200, 200}));
}

void AutomatGroupTest::controlsStoreIntoTheShow()
{
    AutomatTab w;
    w.bar("ScrollBarTempAvtomat2")->setValue(30);
    QCOMPARE(int(w.stored(ShowImage::kAvtomat2Speed)), 30);
    QCOMPARE(w.automat(2).period(), 900);
    QCOMPARE(w.text("LabelTempAvtomat2"), QStringLiteral("66 Flash/мин "));
    w.bar("ScrollBarChannelAvtomat2")->setValue(10);
    QCOMPARE(int(w.stored(ShowImage::kAvtomat2Channel)), 10);
    QCOMPARE(w.text("LabelSeq2Ch"), QStringLiteral(" Каналы 11  12  13  14"));
    w.bar("ScrollBarBrightAvtomat2")->setValue(0);
    w.bar("ScrollBarDarkAvtomat2")->setValue(250);
    QCOMPARE(int(w.stored(ShowImage::kAvtomat2Bright)), 255);
    QCOMPARE(int(w.stored(ShowImage::kAvtomat2Dark)), 5);
    w.click("SpeedButtonAvto2Mode4");
    QCOMPARE(int(w.stored(ShowImage::kAvtomat2Mode)), 4);
    QCOMPARE(int(w.stored(ShowImage::kAvtomat1Mode)), 0);
    w.find<QCheckBox>("CheckBoxAvtomat2")->setChecked(true);
    w.automat(2).TimerTempAvtomatTimer();   // s = 1, effect 4: B B D D
    QCOMPARE(w.automat(2).values(), (Automat::Values{255, 255, 5, 5}));
    QVERIFY(!w.automat(1).active());
}

void AutomatGroupTest::everyTickBlinksTheLampAndARunningStepShows()
{
    AutomatTab w;
    w.bar("ScrollBarBrightAvtomat1")->setValue(55);   // 200
    w.bar("ScrollBarDarkAvtomat1")->setValue(245);    // 10
    const QColor red(255, 0, 0);
    const QColor lime(0, 255, 0);
    w.automat(1).TimerTempAvtomatTimer();   // not running: only the lamp
    QCOMPARE(w.colour("ShapeAvtomat1"), red);
    QCOMPARE(w.text("LabelStepAvtomat1"), QStringLiteral("Step = 1"));
    w.automat(1).TimerTempAvtomatTimer();
    QCOMPARE(w.colour("ShapeAvtomat1"), lime);

    w.find<QCheckBox>("CheckBoxTogethe1")->setChecked(true);
    w.click("SpeedButtonPlay");
    w.automat(1).TimerTempAvtomatTimer();
    QCOMPARE(w.colour("ShapeAvtomat1"), red);
    QCOMPARE(w.text("LabelStepAvtomat1"), QStringLiteral("Step = 2"));
    QCOMPARE(w.colour("ShapeAvt1Seq1"), QColor(10, 10, 10));
    QCOMPARE(w.colour("ShapeAvt1Seq2"), QColor(200, 200, 200));
    QCOMPARE(w.colour("ShapeAvtomat2"), lime);   // the other lamp is its own

    // The blackout stops it at its next tick; the last step stays shown.
    w.find<QCheckBox>("CheckBoxBlackOut")->setChecked(true);
    w.automat(1).TimerTempAvtomatTimer();
    QVERIFY(!w.automat(1).active());
    QCOMPARE(w.text("LabelStepAvtomat1"), QStringLiteral("Step = 2"));
}

void AutomatGroupTest::timersArePreciseAndARefreshNeverRestartsThem()
{
    AutomatTab w;
    QTimer& timer = w.automat(1).timer();
    QVERIFY(timer.isActive());
    QCOMPARE(timer.timerType(), Qt::PreciseTimer);
    QCOMPARE(timer.interval(), 2500);   // the stored start-up speed 50, shown by the tab
    w.bar("ScrollBarTempAvtomat1")->setValue(49);
    w.bar("ScrollBarTempAvtomat1")->setValue(50);   // a real change restarts it once
    QTest::qWait(300);
    const int left = timer.remainingTime();
    QVERIFY(left <= 2250);
    for (int i = 0; i < 5; ++i) {
        w.form.ReturnPageControlAll();
        w.automat(1).TempAvtomatStatus();
    }
    QVERIFY(timer.remainingTime() <= left);
    QCOMPARE(w.automat(2).timer().timerType(), Qt::PreciseTimer);
}

TAVRELIA_TEST_MAIN(AutomatGroupTest)
#include "automat_group_test.moc"
