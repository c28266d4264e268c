// The conveyor group of the main window: captions and fonts, binding with the right
// mouse button, clearing, the modes and the keys' switch.

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

#include "conveyor_panel.h"
#include "scripted_dialogs.h"
#include "test_environment.h"
#include "window_fixture.h"

using namespace tavrelia;
using test::ScriptedDialogs;
using Kind = ScriptedDialogs::Kind;

namespace {

const QColor kNavy(0, 0, 128);
const QColor kRed(255, 0, 0);

struct Belt : test::Window {
    QToolButton* button(int n) { return find<QToolButton>(qPrintable(QStringLiteral("SpeedButton%1").arg(n))); }
    ConveyorPanel* panel() { return form.findChild<ConveyorPanel*>(); }
    QColor ink(int n) { return button(n)->palette().color(QPalette::ButtonText); }
    bool bold(int n) { return button(n)->font().bold(); }
    void rightClick(int n) { QTest::mouseClick(button(n), Qt::RightButton); }
    int shown() { return console.image.DataRead(0, 9); }

    // A show file whose scene 0 carries id on channel 9.
    QString show(const char* name, int id)
    {
        ShowImage image;
        image.resetToNewShow();
        image.DataWrite(0, 9, id);
        const QString path = test::showFolderPath() + QLatin1Char('/') + QString::fromLatin1(name);
        QDir().mkpath(test::showFolderPath());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(reinterpret_cast<const char*>(image.data()), ShowImage::kImageSize);
        return path;
    }
};

}  // namespace

class ConveyorPanelTest : public QObject {
    Q_OBJECT
private slots:
    // Bound names navy and bold, empty buttons red, every caption whole at the
    // window's size, even one of the widest letters.
    void startUpLooksAndCaptionsFit()
    {
        Belt w;
        w.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.form));
        w.console.settings.conveyorFiles[0] = QStringLiteral("/shows/Fireworks.tvl");
        w.console.settings.conveyorFiles[1] = QStringLiteral("/shows/WWWWWWWWWW.tvl");
        w.console.settings.conveyorFiles[19] = QStringLiteral("/shows/Finale.tvl");
        w.console.conveyor.ReadIniFile();
        QCOMPARE(w.ink(1), kNavy);
        QVERIFY(w.bold(1));
        QCOMPARE(w.ink(3), kRed);
        QVERIFY(!w.bold(3));
        QCOMPARE(w.form.width(), TBaseForm::kWidth);
        for (int n = 1; n <= 20; ++n) {
            QToolButton* b = w.button(n);
            QVERIFY2(QFontMetrics(b->font()).horizontalAdvance(b->text()) < b->width(), qPrintable(b->text()));
        }
        QCOMPARE(w.button(5)->toolTip(),
                 QStringLiteral("Имя введенного файла на кнопке  -  вводить Имя правой кнопкой"));
        QCOMPARE(w.text("LabelKonveyr"), QStringLiteral("No job"));
        QVERIFY(w.find<QToolButton>("SpeedButtonKonvHand")->isChecked());
        QVERIFY(w.find<QCheckBox>("CheckBoxKeyKonveyr")->isChecked());
    }

    void rightButtonBindsThroughTheOpenDialog()
    {
        ScriptedDialogs dialogs;
        Belt w;
        w.rightClick(1);   // cancelled
        QCOMPARE(dialogs.kinds(), QList<Kind>{Kind::OpenFile});
        QCOMPARE(dialogs.calls[0].request.filter, QStringLiteral("Файлы DMX Tavrelia  (*.tvl)|*.tvl"));
        QCOMPARE(w.button(1)->text(), QStringLiteral("(пусто)"));

        dialogs.fileAnswers.enqueue(QStringLiteral("/shows/Fireworks.tvl"));
        w.rightClick(1);
        QCOMPARE(w.button(1)->text(), QStringLiteral("Q=Firewor"));
        QCOMPARE(w.ink(1), kNavy);
        QVERIFY(w.bold(1));
        QVERIFY(!w.button(1)->isChecked());
        QCOMPARE(w.console.showFiles.openFileName, QStringLiteral("/shows/Fireworks.tvl"));
        w.rightClick(1);   // the dialog starts from the name it keeps
        QCOMPARE(dialogs.calls.last().request.fileName, QStringLiteral("/shows/Fireworks.tvl"));

        // The left button never binds.
        QTest::mouseClick(w.button(2), Qt::LeftButton);
        QCOMPARE(dialogs.calls.size(), 3);
    }

    void clearingAsksFirst()
    {
        ScriptedDialogs dialogs;
        Belt w;
        w.console.conveyor.bind(3, QStringLiteral("/a/Three.tvl"));
        w.click("SpeedButtonKonvNew");   // No
        QCOMPARE(dialogs.texts(Kind::Question), QStringList{QStringLiteral("Удалить все файлы конвейра ? ")});
        QCOMPARE(w.button(3)->text(), QStringLiteral("E=Three"));
        dialogs.questionAnswers.enqueue(true);
        w.click("SpeedButtonKonvNew");
        QCOMPARE(w.button(3)->text(), QStringLiteral("E (пусто)"));
        QCOMPARE(w.button(20)->text(), QStringLiteral("(пусто)"));
        QCOMPARE(w.ink(3), kRed);
        QVERIFY(w.console.settings.conveyorFiles[2].isEmpty());
    }

    void handModeLoadsAndTheOthersOnlyToggle()
    {
        ScriptedDialogs dialogs;
        Belt w;
        w.console.conveyor.bind(2, w.show("two.tvl", 22));
        w.click("SpeedButton2");
        QCOMPARE(w.shown(), 22);
        QCOMPARE(w.text("LabelKonveyr"), QStringLiteral("two"));
        QVERIFY(w.button(2)->isChecked());
        QCOMPARE(w.form.windowTitle(), w.form.captionPrefix() + w.console.conveyor.fileOf(2));

        w.click("SpeedButtonKonvOff");
        QVERIFY(w.find<QToolButton>("SpeedButtonStop")->isChecked());
        w.click("SpeedButton4");
        QVERIFY(w.button(4)->isChecked());
        QVERIFY(w.button(2)->isChecked());

        // Both list modes play at once; hand mode stops again.
        w.click("SpeedButtonKonvSpisBegin");
        QVERIFY(w.find<QToolButton>("SpeedButtonPlay")->isChecked());
        QVERIFY(!w.find<QToolButton>("SpeedButtonKonvOff")->isChecked());
        w.click("SpeedButtonKonvHand");
        QVERIFY(w.find<QToolButton>("SpeedButtonStop")->isChecked());
        QVERIFY(dialogs.calls.isEmpty());
    }

    void keysActOnlyInHandModeWithTheSwitchOn()
    {
        Belt w;
        w.console.conveyor.bind(1, w.show("one.tvl", 11));
        auto* keys = w.find<QCheckBox>("CheckBoxKeyKonveyr");
        keys->setChecked(false);
        QVERIFY(!w.panel()->keyDown('Q'));
        QCOMPARE(w.shown(), 0);
        keys->setChecked(true);
        QVERIFY(!w.panel()->keyDown('X'));
        QVERIFY(w.panel()->keyDown('Q'));
        QCOMPARE(w.shown(), 11);

        // Clicking a name field switches the keys off for typing.
        QTest::mouseClick(w.find<QLineEdit>("Edit1"), Qt::LeftButton);
        QVERIFY(!keys->isChecked());
    }

    // A missing file in the list: reported once the period is over, the show stays.
    void missingFileIsReportedAfterTheHandler()
    {
        ScriptedDialogs dialogs;
        Belt w;
        w.console.conveyor.bind(1, test::showFolderPath() + QStringLiteral("/gone.tvl"));
        w.console.image.DataWrite(0, 9, 77);
        w.click("SpeedButton1");
        QVERIFY(dialogs.calls.isEmpty());
        QTRY_COMPARE(dialogs.texts(Kind::Warning), QStringList{QStringLiteral("Файл не существует !")});
        QCOMPARE(w.shown(), 77);
        // Two failures before the box comes up still give one box.
        dialogs.clear();
        w.click("SpeedButton1");
        w.click("SpeedButton1");
        QTest::qWait(20);
        QCOMPARE(dialogs.texts(Kind::Warning).size(), 1);
    }

    void closeWritesTheBindingsToTavyIni()
    {
        ScriptedDialogs dialogs;
        {
            Belt w;
            w.form.FormCreate();
            dialogs.fileAnswers.enqueue(QStringLiteral("/evening/Finale.tvl"));
            w.rightClick(20);
            QCOMPARE(w.button(20)->text(), QStringLiteral(" Finale"));
            w.form.close();
        }
        const SettingsFile ini = SettingsFile::read(test::showFolderPath() + QStringLiteral("/Tavy.ini"));
        QCOMPARE(ini.conveyorFiles[19], QStringLiteral("/evening/Finale.tvl"));
        Belt next;
        next.form.FormCreate();
        QCOMPARE(next.button(20)->text(), QStringLiteral(" Finale"));
        next.form.close();
    }
};

TAVRELIA_TEST_MAIN(ConveyorPanelTest)
#include "conveyor_panel_test.moc"
