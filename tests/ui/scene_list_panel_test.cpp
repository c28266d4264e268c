#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QToolBar>

#include "scripted_dialogs.h"
#include "window_fixture.h"

using tavrelia::ShowImage;
using tavrelia::test::ScriptedDialogs;
using tavrelia::test::Window;

namespace {
const char* const kSceneButtons[] = {"SpeedButtonNewScena", "SpeedButtonScenaCopy",
                                     "SpeedButtonNewScenaPaste", "ButtonScenaPaste",
                                     "SpeedButtonScenaDelete"};
}

class SceneListPanelTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Window> w;
    ScriptedDialogs dialogs;
    ShowImage& image() { return w->console.image; }
    // Scene s holds level s on channel 1, so every record can be recognised.
    void tagScenes()
    {
        for (int s = 0; s < 256; ++s)
            image().DataWrite(s, 1, s);
    }
    int tag(int scene) { return image().DataRead(scene, 1); }
    bool enabled(const char* name) { return w->find<QWidget>(name)->isEnabled(); }
    QString status() { return w->form.statusPanel0()->text(); }

private slots:
    void init()
    {
        w = std::make_unique<Window>();
        dialogs.clear();
    }
    void cleanup() { w.reset(); }

    void menuEntries_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<bool>("enabled");
        auto row = [](const char* name, const char* text, QKeySequence keys, bool enabled) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(text) << keys
                                << enabled;
        };
        row("CopyPredScena", "Копировать предыдущую сцену", QKeySequence(Qt::CTRL | Qt::Key_P), true);
        row("CopyToBufferItem", "Копировать сцену в буфер", QKeySequence(Qt::CTRL | Qt::Key_C), true);
        row("PasteFromBufferItem", "Заменить сценой  из буфера", QKeySequence(), false);
        row("NewPasteFromBufferItem", "Создать новую и заменить сценой из буфера",
            QKeySequence(Qt::CTRL | Qt::Key_V), false);
        row("ClearScenaItem", "Очистить Сцену", QKeySequence(Qt::CTRL | Qt::Key_E), true);
        row("DeleteScenaItem", "Удалить Сцену из Шоу ", QKeySequence(Qt::CTRL | Qt::Key_Delete), true);
        row("InsertScenaItem", "Создать новую Сцену", QKeySequence(Qt::CTRL | Qt::Key_Insert), true);
        row("AvtoDobScenaItem", "Разрешить автодобавление сцен", QKeySequence(), true);
    }
    void menuEntries()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QKeySequence, keys);
        QFETCH(bool, enabled);
        auto* item = w->form.findChild<QAction*>(name);
        QVERIFY(item);
        QCOMPARE(item->text(), text);
        QCOMPARE(item->shortcut(), keys);
        QCOMPARE(item->isEnabled(), enabled);
        auto* menu = qobject_cast<QMenu*>(item->parent());
        QVERIFY(menu);
        QCOMPARE(menu->title(), name == QLatin1String("AvtoDobScenaItem") ? QStringLiteral("Опции")
                                                                          : QStringLiteral("Сцены"));
        QCOMPARE(w->action("EditItem")->text(), QStringLiteral("Сцены"));
    }

    void buttonsAndHints()
    {
        struct {
            const char* name;
            const char* hint;
        } const buttons[] = {
            {"SpeedButtonCOPY", "Копировать Сцену"},
            {"SpeedButtonCOPYPREDSCEN", "Копировать предыдущую Сцену"},
            {"SpeedButtonCLEAR", "Новая сцена"},
            {"SpeedButtonDELSCEN", "Удалить сцену"},
            {"SpeedButtonAVTOPLUS", "Автодобавление сцен "},
            {"SpeedButtonNewScena", "Создать новую сцену после текущей"},
            {"SpeedButtonScenaCopy", "Копировать текущую сцену в буфер"},
            {"SpeedButtonScenaDelete", "Удалить текущую сцену"},
            {"ScrollBarStep", "Установка текущей сцены"},
            {"LabelStep", "Номер текущей сцены"},
            {"LabelCoda", "Максимальное кол-во сцен"},
        };
        QStringList toolOrder;
        for (const auto& b : buttons) {
            QCOMPARE(w->find<QWidget>(b.name)->toolTip(), QString::fromUtf8(b.hint));
            if (QString::fromLatin1(b.name).startsWith(QLatin1String("SpeedButton"))
                && QString::fromLatin1(b.name).back().isUpper())
                toolOrder << QString::fromLatin1(b.name);
        }
        QStringList onBar;
        auto* bar = w->find<QToolBar>("ToolBar1");
        for (QAction* action : bar->actions()) {
            if (QWidget* widget = bar->widgetForAction(action); toolOrder.contains(widget->objectName()))
                onBar << widget->objectName();
        }
        QCOMPARE(onBar, toolOrder);
        QVERIFY(!enabled("SpeedButtonNewScenaPaste"));
        QVERIFY(!enabled("ButtonScenaPaste"));
    }

    void deleteTheLastOfTwoScenes()
    {
        w->setScenes(1, 1);
        w->key(Qt::Key_Delete);
        QCOMPARE(w->last(), 0);
        QCOMPARE(w->current(), 0);
        QCOMPARE(w->text("LabelCoda"), QStringLiteral("1"));
        QCOMPARE(w->text("LabelStep"), QStringLiteral("1"));
        QCOMPARE(w->bar("ScrollBarStep")->maximum(), 1);
        QVERIFY(w->console.sceneList.undoAvailable());
    }

    void insertWithAFullShowLosesTheLastScene()
    {
        tagScenes();
        w->setScenes(10, 255);
        w->key(Qt::Key_Insert);
        QCOMPARE(w->current(), 11);
        QCOMPARE(w->last(), 255);
        QCOMPARE(tag(11), 10);
        QCOMPARE(tag(255), 254);
        QCOMPARE(w->text("LabelCoda"), QStringLiteral("256"));
        QCOMPARE(w->text("LabelStep"), QStringLiteral("12"));
        QCOMPARE(w->bar("ScrollBarStep")->maximum(), 255);
    }

    void autoAddCreatesTheNextSceneFromTheBar()
    {
        tagScenes();
        QScrollBar* step = w->bar("ScrollBarStep");
        step->setValue(1);
        step->setValue(2);   // without auto-add: shown, not part of the show
        QCOMPARE(w->current(), 2);
        QCOMPARE(w->last(), 1);
        QCOMPARE(tag(2), 2);
        QCOMPARE(step->maximum(), 2);

        w->action("AvtoDobScenaItem")->trigger();
        QVERIFY(w->action("AvtoDobScenaItem")->isChecked());
        QVERIFY(w->find<QToolButton>("SpeedButtonAVTOPLUS")->isChecked());
        QCOMPARE(status(), QStringLiteral(" Автодобавление сцен "));
        step->setValue(1);
        step->setValue(2);
        QCOMPARE(w->last(), 2);
        QCOMPARE(tag(2), 1);
        QCOMPARE(w->text("LabelCoda"), QStringLiteral("3"));
        QCOMPARE(step->maximum(), 3);

        w->click("SpeedButtonAVTOPLUS");
        QVERIFY(!w->action("AvtoDobScenaItem")->isChecked());
        step->setValue(3);
        QCOMPARE(w->last(), 2);
    }

    void refreshClampsTheSceneOfALoadedShow()
    {
        // the bar still has the range of the new show (0..2)
        image()[ShowImage::kCurrentScene] = 50;
        image()[ShowImage::kLastScene] = 3;
        w->form.ReturnPageControlAll();
        QCOMPARE(w->current(), 2);
        QCOMPARE(w->bar("ScrollBarStep")->maximum(), 4);
        QCOMPARE(w->text("LabelStep"), QStringLiteral("3"));
        QCOMPARE(w->text("LabelCoda"), QStringLiteral("4"));
    }

    void copyPreviousOnTheFirstSceneOnlyTakesASnapshot()
    {
        tagScenes();
        image()[ShowImage::sceneAddress(0)] = 9;
        const ShowImage::Bytes before = image().bytes();
        w->key(Qt::Key_P);
        QVERIFY(image().bytes() == before);
        QVERIFY(w->console.sceneList.undoAvailable());
        QCOMPARE(status(), QStringLiteral("  данные сохранены "));

        w->setScenes(5, 9);
        w->click("SpeedButtonCOPYPREDSCEN");
        QCOMPARE(tag(5), 4);
    }

    void clearEmptiesTheCurrentScene()
    {
        tagScenes();
        w->setScenes(3, 9);
        w->key(Qt::Key_E);
        for (int c = 0; c < 256; ++c)
            QCOMPARE(int(image()[ShowImage::sceneAddress(3) + c]), 0);
        QCOMPARE(tag(4), 4);
    }

    void copyEnablesPasteAndNamesTheScene()
    {
        tagScenes();
        w->setScenes(3, 9);
        w->key(Qt::Key_C);
        QCOMPARE(status(), QStringLiteral(" Записать в буфер "));
        for (const char* name : {"PasteFromBufferItem", "NewPasteFromBufferItem"})
            QVERIFY(w->action(name)->isEnabled());
        QVERIFY(enabled("SpeedButtonNewScenaPaste"));
        QVERIFY(enabled("ButtonScenaPaste"));
        QCOMPARE(w->find<QWidget>("SpeedButtonNewScenaPaste")->toolTip(),
                 QStringLiteral("Создать новую сцену после текущей и скопировать в нее сцену 4 из буфера"));
        QCOMPARE(w->find<QWidget>("ButtonScenaPaste")->toolTip(),
                 QStringLiteral("Заменить текущую сцену Сценой 4 из буфера"));

        w->setScenes(7, 9);
        w->action("PasteFromBufferItem")->trigger();
        QCOMPARE(tag(7), 3);
        w->key(Qt::Key_V);   // the entry has no action
        QCOMPARE(w->current(), 7);
        QCOMPARE(w->last(), 9);
    }

    void pasteAsNewOnTheLastRecordReplacesIt()
    {
        tagScenes();
        w->setScenes(3, 255);
        w->click("SpeedButtonScenaCopy");
        w->setScenes(255, 255);
        w->click("SpeedButtonNewScenaPaste");
        QCOMPARE(w->current(), 255);
        QCOMPARE(tag(255), 3);
        QCOMPARE(tag(254), 254);
    }

    void deskUndoPairSharesTheOneSnapshot()
    {
        auto* undo = w->find<QToolButton>("SpeedButtonUndo1");
        QCOMPARE(w->find<QWidget>("SpeedButtonMem1")->toolTip(), QStringLiteral("Запомнить Сцену"));
        QCOMPARE(undo->toolTip(), QStringLiteral("Вернуть прежнюю сцену"));
        QVERIFY(!undo->isEnabled());
        tagScenes();
        image()[ShowImage::kImageSize] = 4;
        const ShowImage::Bytes before = image().bytes();
        w->click("SpeedButtonMem1");
        QCOMPARE(status(), QStringLiteral("  данные сохранены "));
        QVERIFY(undo->isEnabled());
        w->click("SpeedButtonNewScena");   // takes the snapshot again
        image()[ShowImage::kImageSize] = 5;
        w->click("SpeedButtonUndo1");
        QCOMPARE(status(), QStringLiteral(" данные возвращены "));
        QVERIFY(image().bytes() == before);   // every byte, the spare one too
        QCOMPARE(w->text("LabelCoda"), QStringLiteral("2"));
        QVERIFY(!undo->isEnabled());

        for (auto signal : {&tavrelia::TBaseForm::showLoaded, &tavrelia::TBaseForm::showCleared}) {
            w->click("SpeedButtonMem1");
            emit (w->form.*signal)();
            QVERIFY(!undo->isEnabled());
        }
    }

    void undoIsOneLevel()
    {
        tagScenes();
        w->setScenes(2, 9);
        w->click("SpeedButtonNewScena");
        QCOMPARE(w->last(), 10);
        w->click("SpeedButtonScenaDelete");
        QCOMPARE(w->last(), 9);
        QVERIFY(w->console.sceneList.undo());
        QCOMPARE(w->last(), 10);   // before the delete, not before the insert
        QVERIFY(!w->console.sceneList.undo());
    }

    void pasteStaysEnabledAfterNewAndUndoDoesNot()
    {
        w->key(Qt::Key_C);
        w->console.sceneList.ToMemoryUndo();
        w->console.clearShowData();
        emit w->form.showCleared();
        QVERIFY(w->action("PasteFromBufferItem")->isEnabled());
        QVERIFY(enabled("ButtonScenaPaste"));
        QVERIFY(!w->console.sceneList.undoAvailable());
        w->console.sceneList.ToMemoryUndo();
        emit w->form.showLoaded();
        QVERIFY(!w->console.sceneList.undoAvailable());
    }

    void playingLocksTheSceneList()
    {
        tagScenes();
        w->setScenes(1, 5);
        w->key(Qt::Key_C);
        w->click("SpeedButtonPlay");
        QVERIFY(!w->action("EditItem")->isEnabled());
        for (const char* name : kSceneButtons)
            QVERIFY2(!enabled(name), name);

        const ShowImage::Bytes before = image().bytes();
        for (const char* name : {"SpeedButtonCOPYPREDSCEN", "SpeedButtonCLEAR", "SpeedButtonDELSCEN"})
            w->click(name);
        w->key(Qt::Key_Insert);
        w->bar("ScrollBarStep")->setValue(4);
        QVERIFY(image().bytes() == before);
        QCOMPARE(w->bar("ScrollBarStep")->value(), 1);
        // nor do the desk's faders and level buttons
        w->bar("ScrollBar3")->setValue(200);
        for (const char* name : {"SpeedButtonAllScrl0", "SpeedButtonVis127", "SpeedButtonVis255"})
            w->click(name);
        QVERIFY(image().bytes() == before);

        // the selected-levels bar and the block copies still write
        w->find<QCheckBox>("CheckBox5")->setChecked(true);
        w->bar("ScrollBarLevelAll")->setValue(200);
        QCOMPARE(int(image().DataRead(1, 5)), 200);
        w->find<QSpinBox>("SpinEditLevelFrom")->setValue(20);
        w->click("SpeedButtonLevelBlocCopy");
        QCOMPARE(int(image().DataRead(1, 20)), 1);

        w->click("SpeedButtonStop");
        QVERIFY(w->action("EditItem")->isEnabled());
        for (const char* name : {"SpeedButtonNewScena", "SpeedButtonScenaCopy", "SpeedButtonScenaDelete"})
            QVERIFY2(enabled(name), name);
        // the paste buttons wait for the next copy; the menu entry never went away
        QVERIFY(!enabled("ButtonScenaPaste"));
        QVERIFY(w->action("PasteFromBufferItem")->isEnabled());
        w->click("SpeedButtonScenaCopy");
        QVERIFY(enabled("ButtonScenaPaste"));
        QVERIFY(enabled("SpeedButtonNewScenaPaste"));
    }

    void blockCopies_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QList<int>>("inputs");   // first, last, to
        QTest::addColumn<QString>("warning");
        QTest::addColumn<int>("channel");          // checked in scene 0 ...
        QTest::addColumn<int>("level");            // ... for this level afterwards
        const QString channels =
            QStringLiteral(" Копирование не выполнено:Максимальное число каналов > 256 ! ");
        QTest::newRow("current: 1..10 to 11 copies 11 channels")
            << "SpeedButtonLevelBlocCopy" << QList<int>{1, 10, 11} << QString() << 21 << 1;
        QTest::newRow("current: 1..10 to 2 repeats channel 1")
            << "SpeedButtonLevelBlocCopy" << QList<int>{1, 10, 2} << QString() << 12 << 1;
        QTest::newRow("all scenes refuses 1..255 to 2")
            << "SpeedButtonLevelJobScens" << QList<int>{1, 255, 2} << channels << 2 << 2;
        QTest::newRow("channels in scenes accepts 1..255 to 2")
            << "SpeedButtonScenAllCopy" << QList<int>{1, 255, 2} << QString() << 255 << 1;
    }
    void blockCopies()
    {
        QFETCH(QString, button);
        QFETCH(QList<int>, inputs);
        QFETCH(QString, warning);
        QFETCH(int, channel);
        QFETCH(int, level);
        for (int s = 0; s < 256; ++s)
            for (int c = 1; c < 256; ++c)
                image().DataWrite(s, c, c);
        image()[ShowImage::kImageSize] = 77;
        const char* const names[2][3] = {{"SpinEditLevelFirst", "SpinEditLevelLast", "SpinEditLevelFrom"},
                                         {"SpinEditChBeg", "SpinEditChFin", "SpinEditChTo"}};
        const int set = button == QLatin1String("SpeedButtonLevelBlocCopy") ? 0 : 1;
        for (int i = 0; i < 3; ++i)
            w->find<QSpinBox>(names[set][i])->setValue(inputs[i]);
        w->find<QAbstractButton>(button.toLatin1().constData())->click();
        QCOMPARE(dialogs.texts(ScriptedDialogs::Kind::Warning),
                 warning.isEmpty() ? QStringList() : QStringList{warning});
        QCOMPARE(int(image().DataRead(0, channel)), level);
        QCOMPARE(int(image()[ShowImage::kImageSize]), 77);
        QVERIFY(w->console.sceneList.undoAvailable());
    }

    void sceneRangeCopyChecksChannelsThenScenes()
    {
        struct {
            int to, lastScene;
            const char* warning;
        } const cases[] = {
            {247, 250, " Копирование не выполнено:Максимальное число каналов > 256 ! "},
            {11, 250, " Копирование не выполнено:Максимальное число сцен > 256 ! "},
        };
        for (const auto& c : cases) {
            dialogs.clear();
            w->find<QSpinBox>("SpinEditAllScChTo")->setValue(c.to);
            w->find<QSpinBox>("SpinEditAllScChFinSc")->setValue(c.lastScene);
            w->click("SpeedButtonScenaBlocCopy");
            QCOMPARE(dialogs.texts(ScriptedDialogs::Kind::Warning),
                     QStringList{QString::fromUtf8(c.warning)});
        }
    }

    void spinEditsStartWithTheirRanges()
    {
        struct {
            const char* name;
            int min, max, value;
        } const spins[] = {
            {"SpinEditLevelFirst", 1, 254, 1},    {"SpinEditLevelLast", 1, 255, 10},
            {"SpinEditLevelFrom", 1, 255, 11},    {"SpinEditChBeg", 1, 254, 1},
            {"SpinEditChFin", 1, 255, 10},        {"SpinEditChTo", 1, 255, 11},
            {"SpinEditAllScChbeg", 1, 254, 1},    {"SpinEditAllScChFin", 1, 255, 10},
            {"SpinEditAllScChTo", 1, 255, 11},    {"SpinEditAllScChbegSc", 1, 255, 1},
            {"SpinEditAllScChFinSc", 1, 255, 10}, {"SpinEditAllScChToSc", 1, 255, 11},
        };
        for (const auto& s : spins) {
            auto* spin = w->find<QSpinBox>(s.name);
            QCOMPARE(spin->minimum(), s.min);
            QCOMPARE(spin->maximum(), s.max);
            QCOMPARE(spin->value(), s.value);
        }
    }
};

TAVRELIA_TEST_MAIN(SceneListPanelTest)
#include "scene_list_panel_test.moc"
