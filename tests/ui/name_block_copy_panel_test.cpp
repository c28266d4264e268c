// The name block copy through the window: names typed into the desk, the copy made
// on the tab "Копирование", the result read back from the desk.

#include <QCheckBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

#include "channel_desk_panel.h"
#include "color_swatch.h"
#include "scripted_dialogs.h"
#include "test_environment.h"
#include "window_fixture.h"

using namespace tavrelia;
using test::ScriptedDialogs;

namespace {

const char* const kNames[] = {"1Pan", "1Tilt", "1Red", "1Green", "1Blue", "1Dim", "1Strobe", "1Gobo",
                              "1Prism", "1Focus"};

struct Names : test::Window {
    QLineEdit* edit(int strip) { return find<QLineEdit>(qPrintable(QStringLiteral("Edit%1").arg(strip))); }
    QSpinBox* spin(const char* name) { return find<QSpinBox>(name); }
    QColor swatch(int strip)
    {
        return find<ColorSwatch>(qPrintable(QStringLiteral("Shape%1").arg(strip)))->brushColor();
    }
    void page(int offset)
    {
        bar("ScrolbarVertPos")->setValue(offset);
        form.channelDesk()->TimerDataDmxToDspTimer();
    }
    void type(int strip, const char* text)
    {
        QLineEdit* field = edit(strip);
        field->setFocus();
        QTest::keyClicks(field, QString::fromLatin1(text));
        QTest::keyClick(field, Qt::Key_Return);
    }
};

}  // namespace

class NameBlockCopyPanelTest : public QObject {
    Q_OBJECT
private slots:
    // Ten names of one device copied three times: 11..20, 21..30 and 31..40 numbered
    // 2, 3 and 4, each copy's first channel green, the copies in alternating greys.
    void threeDevicesFromTenNames()
    {
        Names w;
        w.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.form));
        for (int i = 1; i <= 10; ++i)
            w.type(i, kNames[i - 1]);
        w.console.colors.ChannelPicture[4] = 16;

        w.form.pageControlInput()->setCurrentWidget(w.form.inputPage(TBaseForm::InputTab::Kopirovanie));
        QCOMPARE(w.spin("SpinEditNameFirst")->value(), 1);
        QCOMPARE(w.spin("SpinEditNameLast")->value(), 10);
        QCOMPARE(w.spin("SpinEditNameFrom")->value(), 11);
        QCOMPARE(w.spin("SpinEditFifsrtDigit")->value(), 2);
        w.spin("SpinEditRepeatName")->setValue(3);
        w.click("SpeedButtonNameBlocCopy");
        QCOMPARE(w.spin("SpinEditNameFrom")->value(), 41);
        QCOMPARE(w.spin("SpinEditFifsrtDigit")->value(), 5);
        QVERIFY(w.console.sceneList.undoAvailable());

        w.form.pageControlInput()->setCurrentIndex(0);
        const QColor green(50, 250, 50);
        const QColor greys[] = {QColor(170, 170, 170), QColor(200, 200, 200), QColor(170, 170, 170)};
        for (int copy = 0; copy < 3; ++copy) {
            w.page(10 * (copy + 1));
            for (int i = 1; i <= 10; ++i) {
                QString expected = QString::fromLatin1(kNames[i - 1]);
                expected[0] = QLatin1Char(char('2' + copy));
                QCOMPARE(w.edit(i)->text(), expected);
                QCOMPARE(w.swatch(i), i == 1 ? green : greys[copy]);
            }
            QCOMPARE(int(w.console.colors.ChannelPicture[10 * (copy + 1) + 4]), 16);
            QVERIFY(w.edit(11)->text().isEmpty() == (copy == 2));
        }
    }

    void spinEditsFollowEachOther()
    {
        Names w;
        QSpinBox* first = w.spin("SpinEditNameFirst");
        QSpinBox* last = w.spin("SpinEditNameLast");
        QSpinBox* from = w.spin("SpinEditNameFrom");
        last->setValue(20);
        QCOMPARE(from->value(), 21);
        first->setValue(30);
        QCOMPARE(last->value(), 30);
        QCOMPARE(from->value(), 31);
        from->setValue(5);
        QCOMPARE(from->value(), 31);
        w.find<QCheckBox>("CheckBoxTogmame")->setChecked(false);
        from->setValue(5);
        QCOMPARE(from->value(), 5);
        last->setValue(254);
        QCOMPARE(from->value(), 5);
    }

    void copyPastChannel255IsRefused()
    {
        ScriptedDialogs dialogs;
        Names w;
        w.type(1, "keep");
        w.spin("SpinEditNameFirst")->setValue(1);
        w.spin("SpinEditNameLast")->setValue(10);
        w.spin("SpinEditNameFrom")->setValue(247);
        const auto before = w.console.image.bytes();
        w.click("SpeedButtonNameBlocCopy");
        QCOMPARE(dialogs.texts(ScriptedDialogs::Kind::Warning),
                 QStringList{QStringLiteral(" Копирование не выполнено: Максимальное число имен > 256 ! ")});
        QCOMPARE(w.console.image.bytes(), before);
        QCOMPARE(w.spin("SpinEditNameFrom")->value(), 247);
    }
};

TAVRELIA_TEST_MAIN(NameBlockCopyPanelTest)
#include "name_block_copy_panel_test.moc"
