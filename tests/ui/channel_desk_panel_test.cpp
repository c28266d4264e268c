#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "channel_desk_panel.h"
#include "color_swatch.h"
#include "paint_counter.h"
#include "test_environment.h"
#include "window_fixture.h"

using namespace tavrelia;

namespace {

const QString kHeading = QStringLiteral(
    "Канал             Уровень             Выход    Тип   Границы   Имя  канала              "
    "Время изменения     Выбор");

struct Desk : test::Window {
    ChannelDeskPanel* panel = form.channelDesk();

    QScrollBar* fader(int i) { return strip<QScrollBar>("ScrollBar", i); }
    QScrollBar* rateBar(int i)
    {
        return find<QScrollBar>(QStringLiteral("ScrollBarRate%1").arg(i, 2, 10, QLatin1Char('0')));
    }
    QCheckBox* box(int i) { return strip<QCheckBox>("CheckBox", i); }
    QLineEdit* edit(int i) { return strip<QLineEdit>("Edit", i); }
    QString output(int i) { return strip<QLabel>("Label", i)->text(); }
    QString number(int i)
    {
        return find<QLabel>(QStringLiteral("Label%1c").arg(i, 2, 10, QLatin1Char('0')))->text();
    }
    QScrollBar* pageBar() { return bar("ScrolbarVertPos"); }
    QString status() { return form.statusPanel0()->text(); }

    template <typename T>
    T* strip(const char* prefix, int i)
    {
        return find<T>(QString::fromLatin1(prefix) + QString::number(i));
    }
    template <typename T>
    T* find(const QString& name)
    {
        return test::child<T>(form, name);
    }
    using test::Window::find;

    uint8_t level(int channel) const
    {
        return console.image[ShowImage::levelAddress(console.image.currentScene(), channel)];
    }
    uint8_t flag(int channel) const { return console.image[ShowImage::selectAddress(channel)]; }
    uint8_t rate(int channel) const { return console.image[ShowImage::rateAddress(channel)]; }
    void setFrame(int slot, int value)
    {
        auto g = console.lock();
        console.dmx.OutputFrame[slot] = static_cast<uint8_t>(value);
    }
    int frame(int slot)
    {
        auto g = console.lock();
        return console.dmx.OutputFrame[slot];
    }
    void tick() { console.output.OutputTick(); }
    void wheel(QWidget* over, int delta)
    {
        const QPointF at(over->width() / 2.0, over->height() / 2.0);
        QWheelEvent event(at, over->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &event);
    }
    std::vector<uint8_t> storedName(int channel) const
    {
        const uint8_t* p = console.image.data() + ShowImage::nameAddress(channel);
        return {p, p + 16};
    }
    // Leaving a name field: focus goes to another control of the window.
    void leaveField() { fader(1)->setFocus(); }
    void typeName(int i, const QString& text)
    {
        edit(i)->setFocus();
        edit(i)->selectAll();
        // Typed character by character, as a keyboard of any layout sends them.
        for (const QChar ch : text)
            QTest::sendKeyEvent(QTest::Click, edit(i), Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
};

std::vector<uint8_t> padded(std::vector<uint8_t> bytes)
{
    bytes.resize(16, 0);
    return bytes;
}

}  // namespace

class ChannelDeskPanelTest : public QObject {
    Q_OBJECT
private slots:
    void stripsShowTheirPageAndHeading()
    {
        Desk d;
        QCOMPARE(d.find<QLabel>("LabelOpis")->text(), kHeading);
        QCOMPARE(d.number(1), QStringLiteral("01"));
        QCOMPARE(d.number(27), QStringLiteral("27"));
        QCOMPARE(d.pageBar()->maximum(), 228);
        QVERIFY(d.form.findChild<QVBoxLayout*>(QStringLiteral("DeskButtonColumn")));
        d.pageBar()->setValue(228);
        QCOMPARE(d.number(1), QStringLiteral("229"));
        QCOMPARE(d.number(27), QStringLiteral("255"));
        QCOMPARE(d.console.controls.pageOffset, 228);
        d.pageBar()->setValue(9);
        QCOMPARE(d.number(1), QStringLiteral("10"));
    }

    void faderWritesItsChannelOfTheCurrentScene()
    {
        Desk d;
        d.setScenes(2, 5);
        d.fader(3)->setValue(77);
        QCOMPARE(d.level(3), 77);
        QCOMPARE(int(d.console.image.DataRead(0, 3)), 0);
        QCOMPARE(d.level(2), 0);

        d.pageBar()->setValue(228);
        d.fader(27)->setValue(201);
        QCOMPARE(d.level(255), 201);

        // Playing, the faders leave the show alone.
        d.console.play.PlayFlag = true;
        d.fader(27)->setValue(5);
        QCOMPARE(d.level(255), 201);
    }

    void levelButtons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("status");
        QTest::newRow("0") << "SpeedButtonVis0" << 0 << " Установлено в 0 ";
        QTest::newRow("127") << "SpeedButtonVis127" << 127 << " Установлено в 127";
        QTest::newRow("255") << "SpeedButtonVis255" << 255 << " Установлено в 255";
    }
    void levelButtons()
    {
        QFETCH(QString, button);
        QFETCH(int, value);
        QFETCH(QString, status);
        Desk d;
        for (int c = 0; c <= 255; ++c)
            d.console.image.DataWrite(0, c, 9);
        d.pageBar()->setValue(228);
        d.find<QToolButton>(button)->click();
        for (int c = 0; c <= 255; ++c)
            QCOMPARE(int(d.level(c)), c >= 229 ? value : 9);
        QCOMPARE(d.fader(1)->value(), value);
        QCOMPARE(d.fader(27)->value(), value);
        QCOMPARE(d.status(), status);
    }

    void allToZeroClearsByteZeroToo()
    {
        Desk d;
        d.setScenes(1, 3);
        for (int c = 0; c <= 255; ++c) {
            d.console.image.DataWrite(1, c, 9);
            d.console.image.DataWrite(2, c, 9);
        }
        d.form.ReturnPageControlAll();
        d.click("SpeedButtonAllScrl0");
        for (int c = 0; c <= 255; ++c) {
            QCOMPARE(int(d.console.image.DataRead(1, c)), 0);
            QCOMPARE(int(d.console.image.DataRead(2, c)), 9);
        }
        QCOMPARE(d.fader(5)->value(), 0);
        QCOMPARE(d.status(), QStringLiteral(" Вся сцена установлена в 0"));
    }

    void levelButtonsDoNothingWhilePlaying()
    {
        Desk d;
        d.console.image.DataWrite(0, 4, 60);
        d.console.play.PlayFlag = true;
        const QString before = d.status();
        for (const char* button : {"SpeedButtonAllScrl0", "SpeedButtonVis0", "SpeedButtonVis255"})
            d.click(button);
        QCOMPARE(d.level(4), 60);
        QCOMPARE(d.level(5), 0);
        QCOMPARE(d.status(), before);
    }

    void selectionButtons()
    {
        Desk d;
        for (int c : {3, 50, 101, 127, 128, 200})
            d.console.image[ShowImage::selectAddress(c)] = 1;
        d.pageBar()->setValue(100);
        QVERIFY(d.box(1)->isChecked());
        QVERIFY(d.box(27)->isChecked());
        QVERIFY(!d.box(2)->isChecked());

        d.click("SpeedButtonOnVisCheck");
        for (int c = 1; c <= 255; ++c)
            QCOMPARE(int(d.flag(c)), (c >= 101 && c <= 128) || c == 3 || c == 50 || c == 200);
        QVERIFY(d.box(2)->isChecked());

        d.click("SpeedButtonOffVisCheck");
        for (int c = 1; c <= 255; ++c)
            QCOMPARE(int(d.flag(c)), c == 3 || c == 50 || c == 128 || c == 200);
        QVERIFY(!d.box(1)->isChecked());

        d.box(5)->click();
        d.click("SpeedButtonOffAllCheck");
        for (int c = 0; c <= 255; ++c)
            QCOMPARE(int(d.flag(c)), 0);
        QVERIFY(!d.box(5)->isChecked());
        QCOMPARE(d.status(), QStringLiteral(" Все флажки Установлены "));
    }

    void invertGroups_data()
    {
        QTest::addColumn<int>("first");
        for (int first : {1, 6, 11, 16, 21})
            QTest::addRow("%d", first) << first;
    }
    void invertGroups()
    {
        QFETCH(int, first);
        Desk d;
        d.pageBar()->setValue(30);
        const QSet<int> checked{1, 7, 8, 21, 26};
        for (int i : checked)
            d.box(i)->setChecked(true);
        d.click(qPrintable(QStringLiteral("SpeedButtonInv%1").arg(first)));
        for (int i = 1; i <= 27; ++i) {
            const bool inGroup = i >= first && i < first + 5;
            const bool expected = checked.contains(i) != inGroup;
            QCOMPARE(d.box(i)->isChecked(), expected);
            QCOMPARE(int(d.flag(30 + i)), int(expected));
        }
    }

    void outputCaptionsInDmxAndPercent()
    {
        Desk d;
        const int levels[] = {0, 1, 254, 255, 128};
        for (int k = 0; k < 5; ++k)
            d.setFrame(k + 1, levels[k]);
        d.panel->TimerDataDmxToDspTimer();
        QStringList shown;
        for (int i = 1; i <= 5; ++i)
            shown << d.output(i);
        QCOMPARE(shown, (QStringList{"0", "1", "254", "255", "128"}));

        d.click("SpeedButtonOutLevel100");
        QVERIFY(!d.find<QToolButton>("SpeedButtonOutLevel255")->isChecked());
        d.panel->TimerDataDmxToDspTimer();
        shown.clear();
        for (int i = 1; i <= 5; ++i)
            shown << d.output(i);
        QCOMPARE(shown, (QStringList{"0", "1", "100", "100", "51"}));
    }

    void outputCaptionsFollowThePage()
    {
        Desk d;
        d.setFrame(255, 42);
        d.pageBar()->setValue(228);
        d.panel->TimerDataDmxToDspTimer();
        QCOMPARE(d.output(27), QStringLiteral("42"));
    }

    void slowRefreshUpdatesEveryCaptionOnceInNineTicks()
    {
        Desk d;
        d.click("SpeedButtonLevel255");
        QVERIFY(!d.find<QToolButton>("SpeedButtonLevel255")->isChecked());
        for (int tick = 1; tick <= 9; ++tick) {
            for (int slot = 1; slot <= 27; ++slot)
                d.setFrame(slot, tick);
            d.panel->TimerDataDmxToDspTimer();
        }
        // Groups 2..9 refresh on ticks 1..8, group 1 on tick 9.
        for (int i = 1; i <= 27; ++i) {
            const int group = (i + 2) / 3;
            const int tick = group == 1 ? 9 : group - 1;
            QCOMPARE(d.output(i), QString::number(tick));
        }
    }

    // The refresh runs ten times a second while the window idles: only a caption whose
    // level changed repaints.
    void refreshRepaintsOnlyWhatChanged()
    {
        Desk d;
        d.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d.form));
        d.panel->TimerDataDmxToDspTimer();   // every caption at once (the fast refresh)
        QTest::qWait(100);   // the window's first paints are done
        test::PaintCounter paints(&d.form);
        for (int tick = 0; tick < 5; ++tick)
            d.panel->TimerDataDmxToDspTimer();
        d.setFrame(2, 99);
        d.panel->TimerDataDmxToDspTimer();
        QTRY_VERIFY(paints.painted(QStringLiteral("Label2")));
        for (const char* still : {"Label1", "Label3", "Shape2", "Image2", "ScrollBar2"})
            QVERIFY2(!paints.painted(QString::fromLatin1(still)), still);
    }

    void refreshSleepsWhileAnotherTabIsShown()
    {
        Desk d;
        d.form.inputPage(TBaseForm::InputTab::Opcii);
        d.form.pageControlInput()->setCurrentIndex(1);
        d.setFrame(1, 77);
        d.console.colors.GroupRed[1] = 200;
        d.panel->TimerDataDmxToDspTimer();
        QCOMPARE(d.output(1), QStringLiteral("255"));
        QCOMPARE(d.find<ColorSwatch>(QStringLiteral("Shape1"))->brushColor(), QColor(Qt::white));

        d.form.pageControlInput()->setCurrentIndex(0);
        d.panel->TimerDataDmxToDspTimer();
        QCOMPARE(d.output(1), QStringLiteral("77"));
        QCOMPARE(d.find<ColorSwatch>(QStringLiteral("Shape1"))->brushColor(), QColor(200, 0, 0));
    }

    void swatchesShowTheGroupColoursOfThePage()
    {
        Desk d;
        d.console.colors.GroupRed[40] = 10;
        d.console.colors.GroupGreen[40] = 20;
        d.console.colors.GroupBlue[40] = 30;
        d.pageBar()->setValue(30);
        d.panel->TimerDataDmxToDspTimer();
        QCOMPARE(d.find<ColorSwatch>(QStringLiteral("Shape10"))->brushColor(), QColor(10, 20, 30));
        QCOMPARE(d.find<ColorSwatch>(QStringLiteral("Shape11"))->brushColor(), QColor(0, 0, 0));
    }

    void wheelPagesTheDeskAndNeverMovesAFader()
    {
        Desk d;
        d.console.image.DataWrite(0, 5, 100);
        d.form.ReturnPageControlAll();
        d.wheel(d.fader(5), 120);
        QCOMPARE(d.pageBar()->value(), 1);
        QCOMPARE(d.fader(5)->value(), 0);   // now channel 6
        d.wheel(d.fader(5), 300);
        QCOMPARE(d.pageBar()->value(), 228);
        d.wheel(d.edit(3), -120);
        QCOMPARE(d.pageBar()->value(), 227);
        d.wheel(d.pageBar(), -300);
        QCOMPARE(d.pageBar()->value(), 0);
        QCOMPARE(d.fader(5)->value(), 100);
        QCOMPARE(d.level(5), 100);
        QCOMPARE(d.number(1), QStringLiteral("1"));
    }

    void manualStripsHoldTheOutput()
    {
        Desk d;
        auto* manual = d.find<QCheckBox>("CheckBoxManual");
        QCOMPARE(manual->text(), QStringLiteral("Ручное управление"));
        QCOMPARE(manual->parentWidget(), d.form.ustPage(TBaseForm::UstTab::Urovni));
        manual->setChecked(true);
        QVERIFY(d.console.controls.manual);

        d.box(2)->setChecked(true);
        d.fader(2)->setValue(100);
        d.fader(3)->setValue(50);
        d.console.image.DataWrite(0, 2, 200);
        d.console.image.DataWrite(0, 3, 210);
        d.form.ReturnPageControlAll();
        QCOMPARE(d.fader(2)->value(), 100);   // held
        QCOMPARE(d.fader(3)->value(), 210);   // follows the scene
        d.tick();
        QCOMPARE(d.frame(2), 100);
        QCOMPARE(d.frame(3), 210);

        // Playing, a held strip moves the output on the next tick, not the show.
        d.console.play.PlayFlag = true;
        d.fader(2)->setValue(30);
        QCOMPARE(d.level(2), 200);
        d.tick();
        QCOMPARE(d.frame(2), 30);

        // Without manual mode every strip follows the scene again.
        manual->setChecked(false);
        d.form.ReturnPageControlAll();
        QCOMPARE(d.fader(2)->value(), 200);
        d.tick();
        QCOMPARE(d.frame(2), 200);
    }

    void clearedShowResetsPageAndBoxes()
    {
        Desk d;
        d.pageBar()->setValue(50);
        d.box(4)->setChecked(true);
        d.form.ClearAll();
        QCOMPARE(d.pageBar()->value(), 0);
        QCOMPARE(d.console.controls.pageOffset, 0);
        QVERIFY(!d.box(4)->isChecked());
        QCOMPARE(d.number(1), QStringLiteral("1"));
    }

    void namesAreStoredWithZeroSpacesAndShownAgain()
    {
        Desk d;
        d.form.show();
        QVERIFY(QTest::qWaitForWindowActive(&d.form));
        d.typeName(4, QStringLiteral("Par 1"));
        d.leaveField();
        QCOMPARE(d.storedName(4), padded({'P', 'a', 'r', 0, '1'}));
        d.pageBar()->setValue(10);
        QCOMPARE(d.edit(4)->text(), QString());
        d.pageBar()->setValue(0);
        QCOMPARE(d.edit(4)->text(), QStringLiteral("Par 1"));

        d.typeName(5, QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
        d.typeName(6, QStringLiteral("Прожектор левый"));
        d.leaveField();
        QCOMPARE(d.edit(5)->text(), QStringLiteral("ABCDEFGHIJKLMNOP"));
        const QByteArray cyrillic = QByteArrayLiteral("\xCF\xF0\xEE\xE6\xE5\xEA\xF2\xEE\xF0\x00\xEB\xE5\xE2\xFB\xE9");
        QCOMPARE(d.storedName(6), padded(std::vector<uint8_t>(cyrillic.begin(), cyrillic.end())));
        d.wheel(d.fader(1), 120);
        d.wheel(d.fader(1), -120);
        QCOMPARE(d.edit(5)->text(), QStringLiteral("ABCDEFGHIJKLMNOP"));
        QCOMPARE(d.edit(6)->text(), QStringLiteral("Прожектор левый"));
    }

    void typedNameStaysWithItsChannel()
    {
        Desk d;
        d.form.show();
        QVERIFY(QTest::qWaitForWindowActive(&d.form));
        // A refresh while typing (a scene step of the playing show) keeps the typing.
        d.typeName(7, QStringLiteral("Strobe"));
        d.form.ReturnPageControlAll();
        QCOMPARE(d.edit(7)->text(), QStringLiteral("Strobe"));
        // Paging stores it on the channel it was typed for.
        d.wheel(d.fader(1), 120);
        QCOMPARE(d.storedName(7), padded({'S', 't', 'r', 'o', 'b', 'e'}));
        QCOMPARE(d.edit(6)->text(), QStringLiteral("Strobe"));
        QCOMPARE(d.storedName(8), padded({}));
    }

    void clickingANameSwitchesTheHotKeysOff()
    {
        Desk d;
        auto* hotKeys = d.find<QCheckBox>("CheckBoxFlashOn");
        auto* conveyorKeys = d.find<QCheckBox>("CheckBoxKeyKonveyr");
        QVERIFY(hotKeys->isChecked() && conveyorKeys->isChecked());
        QTest::mouseClick(d.edit(2), Qt::LeftButton);
        QVERIFY(!hotKeys->isChecked());
        QVERIFY(!conveyorKeys->isChecked());
        QVERIFY(!d.console.live.keys());
    }

    void newShowRatesShowAsNoTransition()
    {
        Desk d;
        for (int i = 1; i <= 27; ++i)
            QCOMPARE(d.rateBar(i)->value(), 7);
        QCOMPARE(d.bar("ScrollBarRateLeuel")->value(), 7);
        for (int c = 1; c <= 255; ++c)
            QCOMPARE(int(d.rate(c)), 255);
    }

    void selectedRatesBarSetsTheSelectedChannels()
    {
        Desk d;
        d.box(1)->click();
        d.box(5)->click();
        d.console.image[ShowImage::selectAddress(200)] = 1;
        d.bar("ScrollBarRateLeuel")->setValue(0);
        for (int c = 1; c <= 255; ++c)
            QCOMPARE(int(d.rate(c)), (c == 1 || c == 5 || c == 200) ? 1 : 255);
        QCOMPARE(d.text("LabelRate"), QStringLiteral("15"));
        QCOMPARE(int(d.console.image[ShowImage::kRateLevel]), 1);
        QCOMPARE(d.rateBar(1)->value(), 0);
        QCOMPARE(d.rateBar(5)->value(), 0);
        QCOMPARE(d.rateBar(2)->value(), 7);
    }

    void stripRateBarSetsItsPagedChannel()
    {
        Desk d;
        d.pageBar()->setValue(100);
        d.rateBar(27)->setValue(4);
        QCOMPARE(int(d.rate(127)), 20);
        QCOMPARE(int(d.rate(27)), 255);
        QCOMPARE(d.text("LabelRate"), QStringLiteral("1"));
    }

    void storedRatesAreShownAsTableSteps_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("rewritten");
        QTest::newRow("0") << 0 << 0 << 1;
        QTest::newRow("1") << 1 << 0 << 1;
        QTest::newRow("3") << 3 << 2 << 4;
        QTest::newRow("60") << 60 << 6 << 100;
    }
    void storedRatesAreShownAsTableSteps()
    {
        QFETCH(int, stored);
        QFETCH(int, position);
        QFETCH(int, rewritten);
        Desk d;
        d.console.image[ShowImage::rateAddress(9)] = static_cast<uint8_t>(stored);
        d.form.ReturnPageControlAll();
        QCOMPARE(d.rateBar(9)->value(), position);
        QCOMPARE(int(d.rate(9)), rewritten);
    }

    void deskFitsTheWindow()
    {
        Desk d;
        d.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d.form));
        QCOMPARE(d.form.size(), QSize(TBaseForm::kWidth, TBaseForm::kHeight));
        const QWidget* page = d.form.inputPage(TBaseForm::InputTab::Fadera);
        const QRect area = page->rect();
        for (QWidget* w : d.panel->findChildren<QWidget*>()) {
            if (!w->isVisible())
                continue;
            const QRect r(w->mapTo(page, QPoint(0, 0)), w->size());
            QVERIFY2(area.contains(r), qPrintable(w->objectName()));
        }
        // Rows 18 px apart, as the operator's eye expects.
        QCOMPARE(d.fader(2)->y() - d.fader(1)->y(), 18);
    }
};

TAVRELIA_TEST_MAIN(ChannelDeskPanelTest)
#include "channel_desk_panel_test.moc"
