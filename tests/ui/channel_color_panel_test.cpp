// Name colours, type pictures, group colours, the window colour, the clearing menu
// and the colour file, through the main window.

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTabWidget>
#include <QtTest>

#include <memory>

#include "channel_desk_panel.h"
#include "color_swatch.h"
#include "gobo_pictures.h"
#include "scripted_dialogs.h"
#include "test_environment.h"
#include "window_fixture.h"

using namespace tavrelia;
using test::ScriptedDialogs;
using Rgb = ChannelColors::Rgb;
using Kind = ScriptedDialogs::Kind;

namespace {

struct Colors : test::Window {
    QLineEdit* edit(int strip) { return find<QLineEdit>(qPrintable(QStringLiteral("Edit%1").arg(strip))); }
    QColor fieldColor(int strip) { return edit(strip)->palette().color(QPalette::Base); }
    QColor swatch(int strip)
    {
        return find<ColorSwatch>(qPrintable(QStringLiteral("Shape%1").arg(strip)))->brushColor();
    }
    QImage picture(int strip)
    {
        return find<QLabel>(qPrintable(QStringLiteral("Image%1").arg(strip)))->pixmap().toImage();
    }
    void page(int offset) { bar("ScrolbarVertPos")->setValue(offset); }
    void doubleClick(int strip) { QTest::mouseDClick(edit(strip), Qt::LeftButton); }
    ChannelColors& colors() { return console.colors; }
};

QColor qcolor(Rgb c)
{
    return QColor(c.red, c.green, c.blue);
}

QImage rgb32(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class ChannelColorPanelTest : public QObject {
    Q_OBJECT
private slots:
    void doubleClickEditsThatChannelsNameColour()
    {
        Colors w;
        w.page(10);
        w.colors().setNameColor(13, {100, 250, 245});
        w.doubleClick(3);
        QCOMPARE(w.text("LabelEditColor"), QStringLiteral("13"));
        QCOMPARE(w.colors().ColorEditChannel, 13);
        // The bars keep the field light: red comes up to 128 and is stored so.
        QCOMPARE(w.bar("ScrollBar31")->value(), 128);
        QCOMPARE(w.bar("ScrollBar32")->value(), 250);
        QCOMPARE(w.colors().nameColor(13), (Rgb{128, 250, 245}));
        QCOMPARE(w.fieldColor(3), QColor(128, 250, 245));

        w.bar("ScrollBar32")->setValue(200);
        QCOMPARE(w.colors().nameColor(13), (Rgb{128, 200, 245}));
        QCOMPARE(w.fieldColor(3), QColor(128, 200, 245));
        QCOMPARE(w.find<ColorSwatch>("ShapeCltrey")->brushColor(), QColor(128, 200, 245));

        // Paging keeps the channel; its field is painted only while it is shown.
        w.page(100);
        w.bar("ScrollBar33")->setValue(130);
        QCOMPARE(w.colors().nameColor(13), (Rgb{128, 200, 130}));
        QCOMPARE(w.fieldColor(3), qcolor(w.colors().nameColor(103)));
        w.page(10);
        QCOMPARE(w.fieldColor(3), QColor(128, 200, 130));

        w.click("SpeedButton21");
        QCOMPARE(w.text("LabelEditColor"), QStringLiteral("Нет выбора"));
        w.bar("ScrollBar31")->setValue(255);
        QCOMPARE(w.colors().nameColor(13), (Rgb{128, 200, 130}));
        QCOMPARE(w.find<ColorSwatch>("ShapeCltrey")->brushColor(), QColor(255, 200, 130));
    }

    void pictureAndGroupColourOfAnyChannel()
    {
        Colors w;
        w.bar("ScrollBar35")->setValue(40);
        QCOMPARE(w.text("LabelEditColor"), QStringLiteral("Канал: 40 - N: 0"));
        w.bar("ScrollBar36")->setValue(141);
        QCOMPARE(w.text("LabelEditColor"), QStringLiteral("Канал: 40 - N: 141"));
        QCOMPARE(int(w.colors().ChannelPicture[40]), 141);
        w.bar("ScrollBar31")->setValue(140);
        w.bar("ScrollBar32")->setValue(150);
        w.bar("ScrollBar33")->setValue(160);
        w.click("SpeedButton22");
        QCOMPARE(w.colors().groupColor(40), (Rgb{140, 150, 160}));
        QCOMPARE(w.colors().nameColor(40), (Rgb{230, 238, 245}));   // no channel was chosen

        w.page(30);
        w.form.channelDesk()->TimerDataDmxToDspTimer();
        QCOMPARE(w.swatch(10), QColor(140, 150, 160));
        QCOMPARE(rgb32(w.picture(10)), rgb32(goboPicture(141)));
    }

    void clearingMenusAskFirst_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("text");
        QTest::newRow("names") << "ClearNameChannelItem" << "Очистить имена каналов?"
                               << "Очистить имена каналов";
        QTest::newRow("name colours") << "itemColor" << "Очистить цвета имен каналов?"
                                      << "Очистить цвета имен каналов";
        QTest::newRow("pictures") << "itemGrafHint" << "Очистить графическую подсказку каналов?"
                                  << "Очистить графическую подсказку каналов";
        QTest::newRow("group colours") << "itemColSplit" << "Очистить цветовые границы каналов?"
                                       << "Очистить цвет условного разделения каналов";
    }
    void clearingMenusAskFirst()
    {
        QFETCH(QString, item);
        QFETCH(QString, question);
        QFETCH(QString, text);
        ScriptedDialogs dialogs;
        Colors w;
        QAction* action = w.action(qPrintable(item));
        QCOMPARE(action->text(), text);
        QCOMPARE(qobject_cast<QMenu*>(action->parent())->title(), QStringLiteral("Установки"));
        {
            auto g = w.console.lock();
            std::fill_n(w.console.image.data() + ShowImage::kNamesBase, ShowImage::kNamesClearSize, 'a');
        }
        w.colors().setGroupColor(3, {1, 2, 3});
        w.colors().ChannelPicture[3] = 9;
        w.form.ReturnPageControlAll();
        const auto image = w.console.image.bytes();
        const QByteArray tables = w.console.colorFile.bytes();

        action->trigger();   // answered No
        QCOMPARE(dialogs.texts(Kind::Question), QStringList{question});
        QCOMPARE(w.console.image.bytes(), image);
        QCOMPARE(w.console.colorFile.bytes(), tables);

        dialogs.questionAnswers.enqueue(true);
        action->trigger();
        const bool names = item == QLatin1String("ClearNameChannelItem");
        QCOMPARE(w.edit(3)->text().isEmpty(), names);
        QCOMPARE(w.console.image.bytes() == image, !names);
        if (item == QLatin1String("itemColor")) {
            QCOMPARE(w.colors().nameColor(3), (Rgb{255, 255, 255}));
            QCOMPARE(w.fieldColor(3), QColor(255, 255, 255));
        }
        if (item == QLatin1String("itemGrafHint"))
            QCOMPARE(int(w.colors().ChannelPicture[3]), 255);
        if (item == QLatin1String("itemColSplit"))
            QCOMPARE(w.colors().groupColor(3), (Rgb{190, 197, 190}));   // the new show's window colour
    }

    void clearNamesHasItsShortcut()
    {
        ScriptedDialogs dialogs;
        Colors w;
        w.key(Qt::Key_I);
        QCOMPARE(dialogs.texts(Kind::Question), QStringList{QStringLiteral("Очистить имена каналов?")});
    }

    void windowColourFollowsTheShow()
    {
        Colors w;
        const QColor buttonFace = QApplication::palette().color(QPalette::Button);
        auto* zamok = w.find<QCheckBox>("CheckBoxColorZamok");
        QCOMPARE(w.form.palette().color(QPalette::Window), QColor(190, 197, 190));
        {
            auto g = w.console.lock();
            w.console.image[ShowImage::kColorLock] = 0;
            w.console.image[ShowImage::kFormRed] = 10;
            w.console.image[ShowImage::kFormGreen] = 20;
            w.console.image[ShowImage::kFormBlue] = 30;
        }
        w.form.ReturnPageControlAll();
        QVERIFY(!zamok->isChecked());
        QCOMPARE(w.bar("ScrollBarGreen")->value(), 20);
        QCOMPARE(w.form.palette().color(QPalette::Window), buttonFace);
        QCOMPARE(w.find<QWidget>("GroupBoxColor")->palette().color(QPalette::Window), QColor(10, 20, 30));

        // A stored value other than 0 and 1 leaves the box as it is, and paints.
        w.console.image[ShowImage::kColorLock] = 7;
        w.form.ReturnPageControlAll();
        QVERIFY(!zamok->isChecked());
        QCOMPARE(w.form.palette().color(QPalette::Window), QColor(10, 20, 30));

        zamok->click();
        QCOMPARE(int(w.console.image[ShowImage::kColorLock]), 1);
        w.bar("ScrollBarBlue")->setValue(99);
        QCOMPARE(int(w.console.image[ShowImage::kFormBlue]), 99);
        QCOMPARE(w.form.palette().color(QPalette::Window), QColor(10, 20, 99));
        zamok->click();
        QCOMPARE(int(w.console.image[ShowImage::kColorLock]), 0);
        QCOMPARE(w.form.palette().color(QPalette::Window), buttonFace);
    }

    void saveAsChangesTheColourEvenWhenCancelled()
    {
        ScriptedDialogs dialogs;
        Colors w;
        w.key(Qt::Key_W);   // the box is clear: no change
        QCOMPARE(w.console.windowColor.color(), (Rgb{190, 197, 190}));
        w.find<QCheckBox>("CheckBoxColorAvto")->setChecked(true);
        w.key(Qt::Key_W);
        QCOMPARE(w.console.windowColor.color(), (Rgb{37, 240, 157}));
        w.key(Qt::Key_W);
        QCOMPARE(w.console.windowColor.color(), (Rgb{140, 27, 124}));
        QCOMPARE(w.form.palette().color(QPalette::Window), QColor(140, 27, 124));
        QCOMPARE(dialogs.kinds(), (QList<Kind>{Kind::SaveFile, Kind::SaveFile, Kind::SaveFile}));
    }

    // Set in the window, saved at close, back at the next start.
    void colourFileSurvivesARestart()
    {
        const QString colorFile = test::showFolderPath() + QStringLiteral("/tavrEdit.col");
        ScriptedDialogs dialogs;   // cancels the save dialog at close
        {
            Colors w;
            w.form.FormCreate();
            w.page(20);
            w.doubleClick(5);   // channel 25
            w.bar("ScrollBar31")->setValue(150);
            w.bar("ScrollBar35")->setValue(25);
            w.bar("ScrollBar36")->setValue(17);
            w.click("SpeedButton22");
            w.form.close();
        }
        QCOMPARE(QFile(colorFile).size(), 16384);

        auto next = std::make_unique<Colors>();
        next->form.FormCreate();
        QVERIFY(dialogs.texts(Kind::Critical).isEmpty());
        QCOMPARE(next->colors().nameColor(25), (Rgb{150, 238, 245}));
        QCOMPARE(next->colors().groupColor(25), (Rgb{150, 238, 245}));
        QCOMPARE(int(next->colors().ChannelPicture[25]), 17);
        next->page(20);
        next->form.channelDesk()->TimerDataDmxToDspTimer();
        QCOMPARE(next->fieldColor(5), QColor(150, 238, 245));
        QCOMPARE(next->swatch(5), QColor(150, 238, 245));
        QCOMPARE(rgb32(next->picture(5)), rgb32(goboPicture(17)));
        next->form.close();

        // A colour file that went missing since, or one cut short, is reported and
        // the tables keep their start-up values.
        for (qint64 size : {qint64(-1), qint64(16383)}) {
            if (size < 0)
                QFile::remove(colorFile);
            else
                QFile(colorFile).resize(size);
            dialogs.clear();
            Colors again;
            again.form.FormCreate();
            const QStringList errors = dialogs.texts(Kind::Critical);
            QCOMPARE(errors.size(), 1);
            QVERIFY2(size < 0 ? errors[0] == QStringLiteral("Файл -Color- не существует !")
                              : errors[0].contains(QStringLiteral("tavrEdit.col")),
                     qPrintable(errors[0]));
            QCOMPARE(again.colors().nameColor(25), (Rgb{230, 238, 245}));
            QCOMPARE(int(again.colors().ChannelPicture[25]), 0);
            again.form.close();
        }
    }
};

TAVRELIA_TEST_MAIN(ChannelColorPanelTest)
#include "channel_color_panel_test.moc"
