// The static-picture editor through its window and the main window's ways into it.

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QRadioButton>
#include <QToolBar>

#include <functional>

#include "channel_desk_panel.h"
#include "scripted_dialogs.h"
#include "static_form.h"
#include "window_fixture.h"

using namespace tavrelia;
using Kind = test::ScriptedDialogs::Kind;

namespace {

struct Editor : test::Window {
    Editor()
    {
        setScenes(2, 4);
        for (int c = 1; c <= 255; ++c)
            console.image.DataWrite(2, static_cast<uint8_t>(c), 100);
        console.image.DataWrite(0, 1, 11);
        form.ReturnPageControlAll();
    }
    TStaticForm* editor() { return form.findChild<TStaticForm*>(); }
    QAbstractButton* button(const char* name) { return editor()->findChild<QAbstractButton*>(name); }
    bool down(const char* name) { return button(name)->isChecked(); }
    QCheckBox* strip(int i) { return find<QCheckBox>(QStringLiteral("CheckBox%1").arg(i).toLatin1()); }
    test::ScriptedDialogs dialogs;
};

}  // namespace

class StaticFormTest : public QObject {
    Q_OBJECT
private slots:
    void windowTextsAndEntries();
    void openingTakesOverTheShowAndClosingGivesItBack();
    void readAndSaveButtonsReleaseEachOther();
    void sceneBarCopiesTheSceneAfterItsPosition();
    void erasesAskAndShareTheUndo();
    void showReplacedOrWindowClosedWhileOpen();
    void failedLoadsLeaveTheEditorAsItWas();
};

void StaticFormTest::windowTextsAndEntries()
{
    Editor w;
    TStaticForm* editor = w.editor();
    QVERIFY(!editor->isVisible());
    QCOMPARE(editor->windowTitle(), QStringLiteral("Статические картинки"));
    QCOMPARE(editor->size(), QSize(250, 192));
    QCOMPARE(editor->minimumSize(), editor->maximumSize());
    QVERIFY(editor->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(editor->palette().color(QPalette::Window), QColor(0, 128, 128));
    QCOMPARE(w.button("SpeedButtonRead9")->text(), QStringLiteral("--"));
    QCOMPARE(w.button("SpeedButtonSave16")->text(), QStringLiteral("M"));
    QCOMPARE(w.button("SpeedButtonRead1")->toolTip(), QStringLiteral("Редактируемая статическая картинка"));
    QCOMPARE(w.button("SpeedButtonSave1")->toolTip(), QStringLiteral("Записать в  статическую картинку"));
    QCOMPARE(w.button("SpeedButtonDel1")->toolTip(), QStringLiteral("Стереть редактируемую сцену"));
    QCOMPARE(w.button("SpeedButtonDelAll")->toolTip(), QStringLiteral("Стереть все статические картинки "));
    QCOMPARE(w.button("SpeedButtonUndoSt")->toolTip(), QStringLiteral("Вернуть прежнюю сцену"));
    QVERIFY(!w.button("SpeedButtonUndoSt")->isEnabled());
    QCOMPARE(editor->findChild<QScrollBar*>("ScrollBar1")->value(), 1);
    QCOMPARE(editor->findChild<QLabel*>("Label1")->text(), QStringLiteral("1"));

    // "Опции" in its order, whichever panel added its entry first.
    QStringList entries;
    for (QAction* action : w.form.menu(TBaseForm::MenuId::Opcii)->actions())
        entries << action->objectName();
    QCOMPARE(entries, (QStringList{"AreaItem", "ChaserItem", "AvtoDobScenaItem", "SoundOptionsItem"}));
    QCOMPARE(w.action("ChaserItem")->text(), QStringLiteral("Запись и редактирование Статических картинок"));
    QCOMPARE(w.action("SoundOptionsItem")->text(), QStringLiteral("Опции окна зука"));
    QCOMPARE(w.find<QToolButton>("SpeedButtonRECORD")->toolTip(), QStringLiteral("Запись статических картинок "));
    auto* toolBar = w.find<QToolBar>("ToolBar1");
    const auto at = [&](const char* name) {
        return toolBar->actions().indexOf(w.find<QAction>((QByteArray(name) + "Action").constData()));
    };
    QCOMPARE(at("SpeedButtonRECORD"), at("SpeedButtonAVTOPLUS") + 1);
}

void StaticFormTest::openingTakesOverTheShowAndClosingGivesItBack()
{
    Editor w;
    w.strip(4)->setChecked(true);
    const ShowImage::Bytes before = w.console.image.bytes();
    w.click("SpeedButtonPlay");
    w.find<QToolButton>("SpeedButtonRECORD")->click();
    TStaticForm* editor = w.editor();
    QVERIFY(editor->isVisible());
    QVERIFY(!w.console.play.PlayFlag);
    QVERIFY(!w.find<QWidget>("SpeedButtonPlay")->isVisibleTo(&w.form));
    QVERIFY(w.find<QRadioButton>("RadioGroupRateItem2")->isChecked());
    QCOMPARE(w.console.controls.transitionMode, int(OutputEngine::Vykl));
    QCOMPARE(w.text("LabelStep"), QStringLiteral("1"));
    QCOMPARE(w.bar("ScrollBar1")->value(), 0);   // scene 0 is clear
    QVERIFY(!w.strip(4)->isChecked());

    // The working picture is edited on the desk; a rate moved meanwhile.
    w.bar("ScrollBar1")->setValue(200);
    w.strip(2)->setChecked(true);
    w.bar("ScrollBarRate05")->setValue(0);
    w.action("ChaserItem")->trigger();   // ignored while open
    editor->close();
    QVERIFY(w.find<QWidget>("SpeedButtonPlay")->isVisibleTo(&w.form));
    QCOMPARE(w.text("LabelStep"), QStringLiteral("3"));
    QVERIFY(w.strip(4)->isChecked());
    QVERIFY(!w.strip(2)->isChecked());
    QVERIFY(w.console.image.bytes() == before);
    QVERIFY(w.find<QRadioButton>("RadioGroupRateItem2")->isChecked());   // the mode stays
}

void StaticFormTest::readAndSaveButtonsReleaseEachOther()
{
    Editor w;
    w.editor()->ChaserItemClick();
    w.bar("ScrollBar3")->setValue(180);
    w.strip(3)->setChecked(true);
    w.button("SpeedButtonSave10")->click();   // Z
    QVERIFY(w.down("SpeedButtonSave10"));
    QCOMPARE(int(w.console.image[ShowImage::pictureFlagAddress(9, 3)]), 1);
    QCOMPARE(int(w.console.image[ShowImage::pictureLevelAddress(9, 3)]), 180);

    w.button("SpeedButtonRead1")->click();   // an empty picture clears the desk
    QVERIFY(w.down("SpeedButtonRead1"));
    QVERIFY(!w.down("SpeedButtonSave10"));
    QCOMPARE(w.bar("ScrollBar3")->value(), 0);
    QVERIFY(!w.strip(3)->isChecked());

    w.button("SpeedButtonRead10")->click();
    QCOMPARE(w.bar("ScrollBar3")->value(), 180);
    QVERIFY(w.strip(3)->isChecked());
    w.button("SpeedButtonSave2")->click();
    QVERIFY(!w.down("SpeedButtonRead10"));
    QVERIFY(w.down("SpeedButtonSave2"));
}

void StaticFormTest::sceneBarCopiesTheSceneAfterItsPosition()
{
    Editor w;
    w.editor()->ChaserItemClick();
    w.button("SpeedButtonRead1")->click();
    w.strip(1)->setChecked(true);
    auto* bar = w.editor()->findChild<QScrollBar*>("ScrollBar1");
    bar->setValue(0);   // the scene the main window numbers 2
    QCOMPARE(w.editor()->findChild<QLabel*>("Label1")->text(), QStringLiteral("1"));
    QCOMPARE(w.bar("ScrollBar1")->value(), 0);
    bar->setValue(1);
    QCOMPARE(w.editor()->findChild<QLabel*>("Label1")->text(), QStringLiteral("2"));
    QCOMPARE(w.bar("ScrollBar1")->value(), 100);
    QVERIFY(!w.strip(1)->isChecked());
    QVERIFY(!w.down("SpeedButtonRead1"));
}

void StaticFormTest::erasesAskAndShareTheUndo()
{
    Editor w;
    w.editor()->ChaserItemClick();
    w.bar("ScrollBar2")->setValue(70);
    w.strip(2)->setChecked(true);
    w.button("SpeedButtonSave1")->click();
    auto* undo = w.button("SpeedButtonUndoSt");

    w.dialogs.questionAnswers.enqueue(false);
    w.button("SpeedButtonDel1")->click();
    QCOMPARE(w.dialogs.texts(Kind::Question), QStringList{"Удалить статическую картинку?"});
    QCOMPARE(w.bar("ScrollBar2")->value(), 70);
    QVERIFY(!undo->isEnabled());

    w.dialogs.questionAnswers.enqueue(true);
    w.button("SpeedButtonDel1")->click();
    QCOMPARE(w.bar("ScrollBar2")->value(), 0);
    QVERIFY(!w.strip(2)->isChecked());
    QVERIFY(!w.down("SpeedButtonSave1"));
    QVERIFY(undo->isEnabled());
    QVERIFY(w.find<QToolButton>("SpeedButtonUndo1")->isEnabled());   // the shared copy
    QCOMPARE(w.form.statusPanel0()->text(), QStringLiteral("  данные сохранены "));
    undo->click();
    QVERIFY(!undo->isEnabled());
    QCOMPARE(w.bar("ScrollBar2")->value(), 70);

    w.dialogs.clear();
    w.dialogs.questionAnswers.enqueue(true);
    w.button("SpeedButtonDelAll")->click();
    QCOMPARE(w.dialogs.texts(Kind::Question), QStringList{"Удалить все Статические картинки?"});
    QCOMPARE(int(w.console.image[ShowImage::pictureLevelAddress(0, 2)]), 0);
    // The main window's undo spends the same copy: the editor's undo goes off with it.
    w.click("SpeedButtonUndo1");
    QVERIFY(!undo->isEnabled());
    QCOMPARE(int(w.console.image[ShowImage::pictureLevelAddress(0, 2)]), 70);
}

void StaticFormTest::showReplacedOrWindowClosedWhileOpen()
{
    Editor w;
    w.editor()->ChaserItemClick();
    w.dialogs.questionAnswers.enqueue(true);   // New
    w.dialogs.threeWayAnswers.enqueue(Dialogs::Answer::No);   // the changed show thrown away
    w.form.NewItemClick();
    QVERIFY(!w.editor()->isVisible());
    QVERIFY(!w.console.pictureEditor.isOpen());
    QVERIFY(w.find<QWidget>("SpeedButtonPlay")->isVisibleTo(&w.form));
    QCOMPARE(int(w.console.image.DataRead(0, 1)), 0);   // the new show's own scene 0

    // Closing the main window puts the show back before offering it for saving.
    Editor v;
    v.editor()->ChaserItemClick();
    v.bar("ScrollBar1")->setValue(50);
    const QString saved = test::testHome() + QStringLiteral("/closed.tvl");
    v.dialogs.fileAnswers.enqueue(saved);
    v.form.close();
    QVERIFY(!v.console.pictureEditor.isOpen());
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(int(uint8_t(bytes.at(ShowImage::levelAddress(0, 1)))), 11);
    QCOMPARE(int(uint8_t(bytes.at(ShowImage::kCurrentScene))), 2);
}

// Open of a file that has gone, a conveyor button bound to one, and a short file:
// the show is not replaced, so the editor keeps what it holds and gives it back.
void StaticFormTest::failedLoadsLeaveTheEditorAsItWas()
{
    Editor w;
    w.strip(4)->setChecked(true);
    const ShowImage::Bytes before = w.console.image.bytes();
    const QString gone = test::showFolderPath() + QStringLiteral("/gone.tvl");
    const QString shortFile = test::showFolderPath() + QStringLiteral("/short.tvl");
    QDir().mkpath(test::showFolderPath());
    QFile cut(shortFile);
    QVERIFY(cut.open(QIODevice::WriteOnly));
    cut.write(QByteArray(100, 'x'));
    cut.close();
    w.console.conveyor.bind(1, gone);
    w.console.conveyor.bind(2, shortFile);

    w.find<QToolButton>("SpeedButtonRECORD")->click();
    w.click("SpeedButtonRead1");
    w.strip(2)->setChecked(true);
    w.bar("ScrollBar1")->setValue(77);
    const auto working = [&] { return w.console.image.DataRead(0, 1); };
    const int picture = working();

    const std::function<void()> loads[] = {
        [&] {
            w.dialogs.threeWayAnswers.enqueue(Dialogs::Answer::No);   // the changed show given up
            w.dialogs.fileAnswers.enqueue(gone);
            w.form.OpenItemClick();
        },
        [&] { w.click("SpeedButton1"); },
        [&] { w.click("SpeedButton2"); },
        [&] {
            w.dialogs.threeWayAnswers.enqueue(Dialogs::Answer::No);
            w.dialogs.fileAnswers.enqueue(shortFile);
            w.form.OpenItemClick();
        },
    };
    for (const auto& load : loads) {
        load();
        QCoreApplication::processEvents();   // a conveyor's message comes after its handler
        QVERIFY(w.editor()->isVisible());
        QVERIFY(w.console.pictureEditor.isOpen());
        QVERIFY(!w.find<QWidget>("SpeedButtonPlay")->isVisibleTo(&w.form));
        QCOMPARE(w.current(), 0);
        QCOMPARE(int(working()), picture);
        QVERIFY(w.strip(2)->isChecked());
    }
    QCOMPARE(w.dialogs.texts(Kind::Warning).size(), 2);
    QCOMPARE(w.dialogs.texts(Kind::Critical).size(), 2);

    w.editor()->close();
    QVERIFY(w.console.image.bytes() == before);
    QVERIFY(w.strip(4)->isChecked());
    QVERIFY(!w.strip(2)->isChecked());
}

TAVRELIA_TEST_MAIN(StaticFormTest)
#include "static_form_test.moc"
