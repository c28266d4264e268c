#include <QCheckBox>
#include <QStyleOptionButton>
#include <QVBoxLayout>

#include "window_fixture.h"

using namespace tavrelia;

namespace {

void clickIndicator(QCheckBox* box)
{
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, {}, indicator.center());
}

struct Blackout : test::Window {
    QCheckBox* box() { return find<QCheckBox>("CheckBoxBlackOut"); }
    QToolButton* button(const char* name) { return find<QToolButton>(name); }
    // Which of the three is down, by name.
    QString down()
    {
        QString names;
        for (const char* name : {"SpeedButtonOnScena", "SpeedButtonBlackOut", "SpeedButtonMacrosOut"}) {
            if (button(name)->isChecked())
                names += QString::fromLatin1(name);
        }
        return names;
    }
};

}  // namespace

class BlackoutGroupTest : public QObject {
    Q_OBJECT
private slots:
    void controlsAndTheirPlaces();
    void handlersKeepBoxAndButtonsTogether_data();
    void handlersKeepBoxAndButtonsTogether();
    void clearingTheBoxByHandKeepsTheMacroDown();
    void blackoutButtonBlinksWithTheTick();
    void macroOnTheOutput();
    void selectedLevelsBar();
};

void BlackoutGroupTest::controlsAndTheirPlaces()
{
    Blackout w;
    QCOMPARE(w.box()->text(), QStringLiteral("BlackOut"));
    QCOMPARE(w.box()->toolTip(), QStringLiteral("Выключает все каналы DMX  Горячая кнопка = 0 = "));
    QVERIFY(!w.box()->isChecked());
    QCOMPARE(w.down(), QStringLiteral("SpeedButtonOnScena"));
    QCOMPARE(w.button("SpeedButtonOnScena")->toolTip(), QStringLiteral("Разрешить нормальную работу "));
    QCOMPARE(w.button("SpeedButtonBlackOut")->toolTip(), w.box()->toolTip());
    QCOMPARE(w.button("SpeedButtonMacrosOut")->toolTip(),
             QStringLiteral("Выключает все каналы  и включает  каналы статической каркинки =M= "));

    auto* column = w.find<QVBoxLayout>("DeskButtonColumn");
    for (const char* name : {"SpeedButtonOnScena", "SpeedButtonBlackOut", "SpeedButtonMacrosOut"})
        QVERIFY2(column->indexOf(w.button(name)) >= 0, name);

    // The tab "Уровни": the bar under its label, the blackout box, then the manual box.
    QWidget* page = w.form.ustPage(TBaseForm::UstTab::Urovni);
    auto* layout = page->layout();
    QVERIFY(layout->indexOf(w.find<QWidget>("LevelAllBar")) < layout->indexOf(w.box()));
    QVERIFY(layout->indexOf(w.box()) < layout->indexOf(w.find<QCheckBox>("CheckBoxManual")));
    QCOMPARE(w.text("LabelLevelAll"), QStringLiteral("Изменение выделенных уровней"));
    auto* bar = w.bar("ScrollBarLevelAll");
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 255);
    QCOMPARE(bar->value(), 127);
    QCOMPARE(bar->pageStep(), 16);
    QCOMPARE(bar->toolTip(), QStringLiteral("Общий абсолютный уровень каналов"));
}

void BlackoutGroupTest::handlersKeepBoxAndButtonsTogether_data()
{
    QTest::addColumn<QStringList>("actions");   // buttons clicked, or "box+"/"box-"
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QString>("down");
    QTest::addColumn<bool>("playing");          // the show was playing before the last action

    QTest::newRow("blackout button") << QStringList{"SpeedButtonBlackOut"} << true
                                     << "SpeedButtonBlackOut" << false;
    QTest::newRow("back to the scene") << QStringList{"SpeedButtonBlackOut", "SpeedButtonOnScena"}
                                       << false << "SpeedButtonOnScena" << false;
    QTest::newRow("macro") << QStringList{"SpeedButtonMacrosOut"} << true << "SpeedButtonMacrosOut"
                           << false;
    QTest::newRow("macro to scene") << QStringList{"SpeedButtonMacrosOut", "SpeedButtonOnScena"}
                                    << false << "SpeedButtonOnScena" << false;
    // Already checked: nothing runs, so the show keeps playing.
    QTest::newRow("blackout to macro") << QStringList{"SpeedButtonBlackOut", "SpeedButtonMacrosOut"}
                                       << true << "SpeedButtonMacrosOut" << true;
    QTest::newRow("macro to blackout") << QStringList{"SpeedButtonMacrosOut", "SpeedButtonBlackOut"}
                                       << true << "SpeedButtonBlackOut" << true;
    QTest::newRow("scene button on a scene") << QStringList{"SpeedButtonOnScena"} << false
                                             << "SpeedButtonOnScena" << true;
    QTest::newRow("box checked (the hot key)") << QStringList{"box+"} << true
                                               << "SpeedButtonBlackOut" << false;
    QTest::newRow("box cleared") << QStringList{"box+", "box-"} << false << "SpeedButtonOnScena"
                                 << false;
    QTest::newRow("box checked again") << QStringList{"box+", "box+"} << true
                                       << "SpeedButtonBlackOut" << true;
}

void BlackoutGroupTest::handlersKeepBoxAndButtonsTogether()
{
    QFETCH(QStringList, actions);
    QFETCH(bool, checked);
    QFETCH(QString, down);
    QFETCH(bool, playing);
    Blackout w;
    for (const QString& action : actions) {
        w.console.play.PlayFlag = true;
        if (action == QStringLiteral("box+"))
            w.box()->setChecked(true);
        else if (action == QStringLiteral("box-"))
            w.box()->setChecked(false);
        else
            w.button(action.toLatin1().constData())->click();
    }
    QCOMPARE(w.box()->isChecked(), checked);
    QCOMPARE(w.down(), down);
    QCOMPARE(w.console.play.PlayFlag, playing);
    QCOMPARE(w.console.controls.blackOut, checked);
    QCOMPARE(w.console.controls.macroOut, down == QStringLiteral("SpeedButtonMacrosOut"));
}

void BlackoutGroupTest::clearingTheBoxByHandKeepsTheMacroDown()
{
    Blackout w;
    w.form.show();
    w.form.pageControlUst()->setCurrentWidget(w.form.ustPage(TBaseForm::UstTab::Urovni));
    w.button("SpeedButtonMacrosOut")->click();
    w.console.play.PlayFlag = true;
    clickIndicator(w.box());
    QVERIFY(!w.box()->isChecked());
    QCOMPARE(w.down(), QStringLiteral("SpeedButtonMacrosOut"));
    QVERIFY(!w.console.play.PlayFlag);
    QVERIFY(!w.console.controls.blackOut);
    QVERIFY(w.console.controls.macroOut);
}

void BlackoutGroupTest::blackoutButtonBlinksWithTheTick()
{
    Blackout w;
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    QCoreApplication::processEvents();   // the window's first layout has settled
    QToolButton* blink = w.button("SpeedButtonBlackOut");
    const QRect place = blink->geometry();
    w.box()->setChecked(true);
    for (bool visible : {false, true, false}) {
        w.console.output.OutputTick();
        QTRY_COMPARE(blink->isVisibleTo(&w.form), visible);
        QCOMPARE(blink->geometry(), place);   // the column does not move while it blinks
    }
    w.box()->setChecked(false);
    w.console.output.OutputTick();
    QTRY_VERIFY(blink->isVisibleTo(&w.form));
}

void BlackoutGroupTest::macroOnTheOutput()
{
    Blackout w;
    for (int c = 1; c <= 255; ++c)
        w.console.image.DataWrite(0, static_cast<uint8_t>(c), 200);
    w.console.image[ShowImage::pictureFlagAddress(15, 8)] = 1;
    w.console.image[ShowImage::pictureLevelAddress(15, 8)] = 80;
    w.button("SpeedButtonMacrosOut")->click();
    w.console.output.OutputTick();
    std::array<uint8_t, 513> expected{};
    expected[8] = 80;
    QVERIFY(w.console.dmx.OutputFrame == expected);
    w.button("SpeedButtonOnScena")->click();
    w.console.output.OutputTick();
    QCOMPARE(int(w.console.dmx.OutputFrame[8]), 200);
    QCOMPARE(int(w.console.dmx.OutputFrame[9]), 200);
}

void BlackoutGroupTest::selectedLevelsBar()
{
    Blackout w;
    w.form.show();
    w.setScenes(1, 1);
    w.find<QCheckBox>("CheckBox5")->setChecked(true);
    w.find<QCheckBox>("CheckBox9")->setChecked(true);
    w.console.play.PlayFlag = true;   // the bar writes while the show plays too
    const ShowImage::Bytes before = w.console.image.bytes();
    w.bar("ScrollBarLevelAll")->setValue(200);
    ShowImage::Bytes expected = before;
    expected[ShowImage::levelAddress(1, 5)] = 200;
    expected[ShowImage::levelAddress(1, 9)] = 200;
    QVERIFY(w.console.image.bytes() == expected);
    // The desk shows the new levels.
    QCOMPARE(w.bar("ScrollBar5")->value(), 200);
    QCOMPARE(w.bar("ScrollBar9")->value(), 200);
    QCOMPARE(w.bar("ScrollBar6")->value(), 0);
}

TAVRELIA_TEST_MAIN(BlackoutGroupTest)
#include "blackout_group_test.moc"
